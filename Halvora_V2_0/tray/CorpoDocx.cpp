#include "CorpoDocx.h"

#include "XmlDocx.h"

#include <utility>

using namespace XmlDocx;
using Allineamento = TestoFormattato::Allineamento;

CorpoDocx::CorpoDocx(const QByteArray& xml, StiliDocx stili, NumerazioneDocx numerazione)
    : x_(xml), stili_(std::move(stili)), numerazione_(std::move(numerazione))
{
}

std::optional<TestoFormattato> CorpoDocx::leggi()
{
    while (!x_.atEnd()) {
        const auto t = x_.readNext();
        if (t == QXmlStreamReader::StartElement)
            inizio();
        else if (t == QXmlStreamReader::EndElement && inCorpo_)
            fine();
    }
    if (x_.hasError())
        return std::nullopt;
    return std::move(doc_);
}

void CorpoDocx::inizio()
{
    if (nomeW(x_, QLatin1StringView("body"))) {
        inCorpo_ = true;
        return;
    }
    if (!inCorpo_)
        return;
    if (nomeMc(x_, QLatin1StringView("AlternateContent"))) {
        alternative_.push_back(false);
    } else if (nomeMc(x_, QLatin1StringView("Choice")) || nomeMc(x_, QLatin1StringView("Fallback"))) {
        // One of the alternatives, the first, is the content; the others are copies of it.
        if (alternative_.isEmpty() || alternative_.last())
            x_.skipCurrentElement();
        else
            alternative_.last() = true;
    } else if (nomeW(x_, QLatin1StringView("del")) || nomeW(x_, QLatin1StringView("moveFrom"))) {
        x_.skipCurrentElement(); // tracked deletions are not part of the text
    } else if (nomeW(x_, QLatin1StringView("txbxContent"))) {
        if (!aperti_.isEmpty())
            scriviParte(aperti_.last(), false);
    } else if (nomeW(x_, QLatin1StringView("p"))) {
        if (!aperti_.isEmpty())
            scriviParte(aperti_.last(), false);
        Aperto a;
        a.run = a.base = baseRun(stili_.predefinito);
        a.paragrafo = paragrafoDa(stili_.catena(stili_.predefinito));
        aperti_.push_back(a);
        proprietaLette_ = false;
    } else if (nomeW(x_, QLatin1StringView("pPr")) && !aperti_.isEmpty() && !proprietaLette_) {
        ProprietaParagrafo diretto;
        leggiPPr(x_, diretto);
        proprietaLette_ = true;
        impostaParagrafo(aperti_.last(), diretto);
    } else if (nomeW(x_, QLatin1StringView("r")) && !aperti_.isEmpty()) {
        aperti_.last().run = aperti_.last().base;
    } else if (nomeW(x_, QLatin1StringView("rPr")) && !aperti_.isEmpty()) {
        ProprietaRun diretto;
        QString stile;
        leggiRPr(x_, diretto, &stile);
        Aperto& a = aperti_.last();
        a.run = a.base;
        for (const StiliDocx::Stile* s : stili_.catena(stile))
            a.run.sopra(s->run);
        a.run.sopra(diretto);
    } else if (nomeW(x_, QLatin1StringView("tbl"))) {
        if (tabelle_++ == 0)
            tabella_ = Tabella{};
    } else if (nomeW(x_, QLatin1StringView("tr")) && tabelle_ == 1) {
        tabella_.colonna = -1;
        tabella_.rigaConCelle = false;
    } else if (nomeW(x_, QLatin1StringView("tc")) && tabelle_ == 1) {
        tabella_.colonna = qMin(tabella_.colonna + 1, TestoFormattato::kColonneMassime - 1);
        tabella_.cellaConParagrafi = false;
    } else if (nomeW(x_, QLatin1StringView("t"))) {
        // A line feed inside a text element is a space, as Word shows it; breaks are <w:br/>.
        aggiungi(x_.readElementText(QXmlStreamReader::IncludeChildElements).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    } else if (nomeW(x_, QLatin1StringView("instrText"))) {
        const QString istruzione = x_.readElementText(QXmlStreamReader::IncludeChildElements);
        if (!campi_.isEmpty() && campi_.last().istruzione.size() < 4096)
            campi_.last().istruzione += istruzione;
    } else if (nomeW(x_, QLatin1StringView("fldChar"))) {
        campo(attributo(x_, QLatin1StringView("fldCharType")));
    } else if (nomeW(x_, QLatin1StringView("tab"))) {
        aggiungi(QStringLiteral("\t"));
    } else if (nomeW(x_, QLatin1StringView("br")) || nomeW(x_, QLatin1StringView("cr"))) {
        aggiungi(QString(QChar(u'\u2028')));
    } else if (nomeW(x_, QLatin1StringView("noBreakHyphen"))) {
        aggiungi(QString(QChar(u'\u2011')));
    } else if (nomeW(x_, QLatin1StringView("sectPr"))) {
        x_.skipCurrentElement();
    }
}

void CorpoDocx::fine()
{
    if (nomeW(x_, QLatin1StringView("body"))) {
        inCorpo_ = false;
    } else if (nomeMc(x_, QLatin1StringView("AlternateContent"))) {
        if (!alternative_.isEmpty())
            alternative_.pop_back();
    } else if (nomeW(x_, QLatin1StringView("p")) && !aperti_.isEmpty()) {
        Aperto a = aperti_.takeLast();
        scriviParte(a, true);
        // What follows a text box still belongs to its paragraph.
        if (!aperti_.isEmpty()) {
            aperti_.last().paragrafo.tratti.clear();
            aperti_.last().giaScritto = true;
        }
    } else if (nomeW(x_, QLatin1StringView("tc")) && tabelle_ == 1) {
        if (!tabella_.cellaConParagrafi) {
            Aperto vuoto;
            scriviParte(vuoto, true);
        }
    } else if (nomeW(x_, QLatin1StringView("tbl"))) {
        tabelle_ = qMax(0, tabelle_ - 1);
    }
}

// Fields: the instruction is left out and the result shown; a button
// field without a result shows its own text, as word processors do.
void CorpoDocx::campo(const QString& tipo)
{
    if (tipo == QLatin1String("begin")) {
        if (campi_.size() < 64)
            campi_.push_back({});
    } else if (tipo == QLatin1String("separate")) {
        if (!campi_.isEmpty())
            campi_.last().separato = true;
    } else if (tipo == QLatin1String("end") && !campi_.isEmpty()) {
        const Campo c = campi_.takeLast();
        const QStringList parole = c.istruzione.simplified().split(QLatin1Char(' '));
        if (!c.separato && parole.size() > 2 && parole[0].compare(QLatin1String("MACROBUTTON"), Qt::CaseInsensitive) == 0)
            aggiungi(parole.mid(2).join(QLatin1Char(' ')));
    }
}

ProprietaRun CorpoDocx::baseRun(const QString& stile) const
{
    ProprietaRun r = stili_.run;
    for (const StiliDocx::Stile* s : stili_.catena(stile))
        r.sopra(s->run);
    return r;
}

TestoFormattato::Paragrafo CorpoDocx::paragrafoDa(const QList<const StiliDocx::Stile*>& catena) const
{
    ProprietaParagrafo p = stili_.paragrafo;
    for (const StiliDocx::Stile* s : catena)
        p.sopra(s->paragrafo);
    TestoFormattato::Paragrafo r;
    r.allineamento = p.allineamento.value_or(Allineamento::sinistra);
    r.titolo = p.titolo.value_or(0);
    r.rientro = p.rientro.value_or(0);
    r.primaRiga = p.primaRiga.value_or(0);
    r.spazioPrima = p.spazioPrima.value_or(0);
    r.spazioDopo = p.spazioDopo.value_or(0);
    return r;
}

// The style first, then the list level, then the paragraph's own properties.
void CorpoDocx::impostaParagrafo(Aperto& a, const ProprietaParagrafo& diretto)
{
    const QString stile = diretto.stile.value_or(stili_.predefinito);
    ProprietaParagrafo p = stili_.paragrafo;
    for (const StiliDocx::Stile* s : stili_.catena(stile))
        p.sopra(s->paragrafo);
    const QString numero = diretto.numero.value_or(p.numero.value_or(QString()));
    const int livello = diretto.livello.value_or(p.livello.value_or(0));
    const NumerazioneDocx::Livello* l = numerazione_.livelloDi(numero, livello);
    if (l)
        p.sopra(l->paragrafo);
    p.sopra(diretto);
    a.base = baseRun(stile);
    a.run = a.base;
    a.paragrafo.allineamento = p.allineamento.value_or(Allineamento::sinistra);
    a.paragrafo.titolo = p.titolo.value_or(0);
    a.paragrafo.rientro = p.rientro.value_or(0);
    a.paragrafo.primaRiga = p.primaRiga.value_or(0);
    a.paragrafo.spazioPrima = p.spazioPrima.value_or(0);
    a.paragrafo.spazioDopo = p.spazioDopo.value_or(0);
    if (l) {
        const QString segno = numerazione_.segno(numero, livello);
        if (!segno.isEmpty()) {
            ProprietaRun r = a.base;
            r.sopra(l->run);
            TestoFormattato::Tratto t = r.tratto();
            t.testo = segno + (l->dopo == QLatin1String("space") ? QStringLiteral(" ")
                               : l->dopo == QLatin1String("nothing") ? QString()
                                                                    : QStringLiteral("\t"));
            a.paragrafo.tratti.push_back(t);
        }
    }
}

void CorpoDocx::aggiungi(const QString& t)
{
    if (!aperti_.isEmpty())
        aperti_.last().paragrafo.aggiungi(aperti_.last().run.tratto(), t);
}

// Writes what `a` holds so far. An earlier part already written and
// nothing since: only the last part of a paragraph may be empty, once.
void CorpoDocx::scriviParte(Aperto& a, bool ultima)
{
    if (a.paragrafo.tratti.isEmpty() && (!ultima || a.giaScritto))
        return;
    TestoFormattato::Paragrafo p = a.paragrafo;
    if (tabelle_ > 0 && tabella_.colonna >= 0) {
        if (tabella_.id < 0)
            tabella_.id = prossimaTabella_++;
        if (!tabella_.rigaConCelle) {
            ++tabella_.riga;
            tabella_.rigaConCelle = true;
        }
        tabella_.cellaConParagrafi = true;
        p.cella = TestoFormattato::Cella{tabella_.id, tabella_.riga, tabella_.colonna};
    }
    doc_.paragrafi.push_back(std::move(p));
    a.paragrafo.tratti.clear();
    a.giaScritto = true;
}
