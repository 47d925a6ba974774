#include "LettoreDocx.h"

#include "SegniElenco.h"

#include <QXmlStreamReader>

#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <memory>

namespace {

using Tratto = TestoFormattato::Tratto;
using Paragrafo = TestoFormattato::Paragrafo;
using Allineamento = TestoFormattato::Allineamento;

// A package with more entries than this is not a document.
constexpr int kMassimoVoci = 20000;
// Chains of styles based on styles end here, whatever loop a file makes.
constexpr int kCatenaMassima = 32;
constexpr int kLivelli = 9;
// 22 inches, the widest page Word lays out, in twentieths of a point.
constexpr int kRientroMassimo = 31680;

const QLatin1StringView kNsW("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QLatin1StringView kNsWStrict("http://purl.oclc.org/ooxml/wordprocessingml/main");
const QLatin1StringView kNsMc("http://schemas.openxmlformats.org/markup-compatibility/2006");

bool nomeW(const QXmlStreamReader& x, QLatin1StringView nome)
{
    // Transitional and strict documents name the same elements.
    return x.name() == nome && (x.namespaceUri() == kNsW || x.namespaceUri() == kNsWStrict);
}

bool nomeMc(const QXmlStreamReader& x, QLatin1StringView nome)
{
    return x.name() == nome && x.namespaceUri() == kNsMc;
}

QString attributo(const QXmlStreamReader& x, QLatin1StringView nome)
{
    for (const auto& a : x.attributes())
        if (a.name() == nome)
            return a.value().toString();
    return {};
}

QString valore(const QXmlStreamReader& x) { return attributo(x, QLatin1StringView("val")); }

// <w:b/>, <w:b w:val="true"/> and <w:b w:val="1"/> switch on; "0", "false", "off" off.
bool interruttore(const QXmlStreamReader& x)
{
    const QString v = valore(x).toLower();
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off")
             || v == QLatin1String("none"));
}

std::optional<double> twip(const QXmlStreamReader& x, QLatin1StringView nome)
{
    bool ok = false;
    const int v = attributo(x, nome).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return qBound(-kRientroMassimo, v, kRientroMassimo) / 20.0;
}

// Takes what `suo` says over `mio`, where it says anything.
template <typename T>
void prendi(std::optional<T>& mio, const std::optional<T>& suo)
{
    if (suo)
        mio = suo;
}

// What a style, a list level or the run itself says; unset leaves the value below it.
struct ProprietaRun {
    std::optional<bool> grassetto, corsivo, sottolineato, barrato;
    std::optional<double> punti;
    std::optional<std::optional<quint32>> colore;

    void sopra(const ProprietaRun& o)
    {
        prendi(grassetto, o.grassetto);
        prendi(corsivo, o.corsivo);
        prendi(sottolineato, o.sottolineato);
        prendi(barrato, o.barrato);
        prendi(punti, o.punti);
        prendi(colore, o.colore);
    }
    Tratto tratto() const
    {
        Tratto t;
        t.grassetto = grassetto.value_or(false);
        t.corsivo = corsivo.value_or(false);
        t.sottolineato = sottolineato.value_or(false);
        t.barrato = barrato.value_or(false);
        t.punti = punti.value_or(0);
        t.colore = colore.value_or(std::nullopt);
        return t;
    }
};

struct ProprietaParagrafo {
    std::optional<Allineamento> allineamento;
    std::optional<int> titolo;
    std::optional<double> rientro, primaRiga, spazioPrima, spazioDopo;
    std::optional<QString> numero; // numId; "0" takes a list off
    std::optional<int> livello;
    std::optional<QString> stile;

    void sopra(const ProprietaParagrafo& o)
    {
        prendi(allineamento, o.allineamento);
        prendi(titolo, o.titolo);
        prendi(rientro, o.rientro);
        prendi(primaRiga, o.primaRiga);
        prendi(spazioPrima, o.spazioPrima);
        prendi(spazioDopo, o.spazioDopo);
        prendi(numero, o.numero);
        prendi(livello, o.livello);
        prendi(stile, o.stile);
    }
};

// Reads the run properties under the current <w:rPr> up to its end, and the run's style.
void leggiRPr(QXmlStreamReader& x, ProprietaRun& r, QString* stile = nullptr)
{
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("rStyle")) && stile) {
            *stile = valore(x);
        } else if (nomeW(x, QLatin1StringView("b"))) {
            r.grassetto = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("i"))) {
            r.corsivo = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("u"))) {
            r.sottolineato = interruttore(x);
        } else if (nomeW(x, QLatin1StringView("strike")) || nomeW(x, QLatin1StringView("dstrike"))) {
            // Either switches it on; a switched-off one leaves the other alone.
            if (interruttore(x))
                r.barrato = true;
            else if (!r.barrato)
                r.barrato = false;
        } else if (nomeW(x, QLatin1StringView("sz"))) {
            const int mezzi = valore(x).toInt();
            if (mezzi > 0)
                r.punti = qMin(mezzi, 3200) / 2.0;
        } else if (nomeW(x, QLatin1StringView("color"))) {
            bool ok = false;
            const QString v = valore(x);
            const quint32 rgb = v.size() == 6 ? v.toUInt(&ok, 16) : 0;
            r.colore = ok ? std::optional<quint32>(rgb) : std::nullopt;
        }
        x.skipCurrentElement();
    }
}

// Reads the paragraph properties under the current <w:pPr> up to its end.
void leggiPPr(QXmlStreamReader& x, ProprietaParagrafo& p)
{
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("jc"))) {
            const QString v = valore(x);
            p.allineamento = v == QLatin1String("center")                                      ? Allineamento::centro
                : v == QLatin1String("right") || v == QLatin1String("end")                    ? Allineamento::destra
                : v == QLatin1String("both") || v == QLatin1String("distribute")              ? Allineamento::giustificato
                                                                                              : Allineamento::sinistra;
        } else if (nomeW(x, QLatin1StringView("outlineLvl"))) {
            bool ok = false;
            const int v = valore(x).toInt(&ok);
            p.titolo = ok && v >= 0 && v < TestoFormattato::kTitoloMassimo ? v + 1 : 0;
        } else if (nomeW(x, QLatin1StringView("pStyle"))) {
            p.stile = valore(x);
        } else if (nomeW(x, QLatin1StringView("ind"))) {
            if (auto v = twip(x, QLatin1StringView("left")))
                p.rientro = v;
            else if (auto s = twip(x, QLatin1StringView("start")))
                p.rientro = s;
            if (auto h = twip(x, QLatin1StringView("hanging")))
                p.primaRiga = 0.0 - *h;
            else if (auto f = twip(x, QLatin1StringView("firstLine")))
                p.primaRiga = f;
        } else if (nomeW(x, QLatin1StringView("spacing"))) {
            // Spaces are not negative; "auto" spacing is the writer's own and left to ours.
            if (auto v = twip(x, QLatin1StringView("before")))
                p.spazioPrima = qMax(0.0, *v);
            if (auto v = twip(x, QLatin1StringView("after")))
                p.spazioDopo = qMax(0.0, *v);
        } else if (nomeW(x, QLatin1StringView("numPr"))) {
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("numId")))
                    p.numero = valore(x);
                else if (nomeW(x, QLatin1StringView("ilvl")))
                    p.livello = qBound(0, valore(x).toInt(), kLivelli - 1);
                x.skipCurrentElement();
            }
            continue;
        }
        // The paragraph mark's own run, section and tracked changes are not the text's.
        x.skipCurrentElement();
    }
}

struct Stile {
    QString basatoSu;
    ProprietaRun run;
    ProprietaParagrafo paragrafo;
};

struct Stili {
    ProprietaRun run;            // the document's defaults
    ProprietaParagrafo paragrafo;
    QHash<QString, Stile> perId;
    QString predefinito;         // the default paragraph style

    // The chain from the base style to `id`, the base first.
    QList<const Stile*> catena(const QString& id) const
    {
        QList<const Stile*> c;
        QString corrente = id;
        while (!corrente.isEmpty() && c.size() < kCatenaMassima) {
            const auto it = perId.constFind(corrente);
            if (it == perId.cend())
                break;
            c.prepend(&*it);
            corrente = it->basatoSu;
        }
        return c;
    }
};

// Calls `figlio` on each child of a part's root element; it reads or skips it.
template <typename F>
void figliDellaRadice(const QByteArray& xml, F figlio)
{
    if (xml.isEmpty())
        return;
    QXmlStreamReader x(xml);
    if (!x.readNextStartElement())
        return;
    while (x.readNextStartElement())
        figlio(x);
}

Stili leggiStili(const QByteArray& xml)
{
    Stili s;
    figliDellaRadice(xml, [&s](QXmlStreamReader& x) {
        if (nomeW(x, QLatin1StringView("docDefaults"))) {
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("rPrDefault")) || nomeW(x, QLatin1StringView("pPrDefault"))) {
                    while (x.readNextStartElement()) {
                        if (nomeW(x, QLatin1StringView("rPr")))
                            leggiRPr(x, s.run);
                        else if (nomeW(x, QLatin1StringView("pPr")))
                            leggiPPr(x, s.paragrafo);
                        else
                            x.skipCurrentElement();
                    }
                } else {
                    x.skipCurrentElement();
                }
            }
        } else if (nomeW(x, QLatin1StringView("style"))) {
            const QString id = attributo(x, QLatin1StringView("styleId"));
            const QString d = attributo(x, QLatin1StringView("default"));
            const bool predefinito = (d == QLatin1String("1") || d == QLatin1String("true"))
                                     && attributo(x, QLatin1StringView("type")) == QLatin1String("paragraph");
            Stile stile;
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("basedOn"))) {
                    stile.basatoSu = valore(x);
                    x.skipCurrentElement();
                } else if (nomeW(x, QLatin1StringView("rPr"))) {
                    leggiRPr(x, stile.run);
                } else if (nomeW(x, QLatin1StringView("pPr"))) {
                    leggiPPr(x, stile.paragrafo);
                } else {
                    x.skipCurrentElement();
                }
            }
            // A style never names itself: its own list or heading is all it has.
            stile.paragrafo.stile.reset();
            if (predefinito && s.predefinito.isEmpty())
                s.predefinito = id;
            s.perId.insert(id, stile);
        } else {
            x.skipCurrentElement();
        }
    });
    return s;
}

struct Livello {
    QString formato = QStringLiteral("decimal");
    QString testo;
    int inizio = 1;
    QString dopo = QStringLiteral("tab");
    ProprietaParagrafo paragrafo;
    ProprietaRun run;
};

struct Numerazione {
    QHash<QString, std::array<Livello, kLivelli>> astratti;
    struct Numero {
        QString astratto;
        std::array<std::optional<int>, kLivelli> inizi;
    };
    QHash<QString, Numero> numeri;
};

void leggiLivello(QXmlStreamReader& x, Livello& l)
{
    while (x.readNextStartElement()) {
        if (nomeW(x, QLatin1StringView("start")))
            l.inizio = qBound(0, valore(x).toInt(), 32767);
        else if (nomeW(x, QLatin1StringView("numFmt")))
            l.formato = valore(x);
        else if (nomeW(x, QLatin1StringView("lvlText")))
            l.testo = valore(x).left(64);
        else if (nomeW(x, QLatin1StringView("suff")))
            l.dopo = valore(x);
        else if (nomeW(x, QLatin1StringView("pPr"))) {
            leggiPPr(x, l.paragrafo);
            continue;
        } else if (nomeW(x, QLatin1StringView("rPr"))) {
            leggiRPr(x, l.run);
            continue;
        }
        x.skipCurrentElement();
    }
}

Numerazione leggiNumerazione(const QByteArray& xml)
{
    Numerazione n;
    figliDellaRadice(xml, [&n](QXmlStreamReader& x) {
        if (nomeW(x, QLatin1StringView("abstractNum"))) {
            auto& livelli = n.astratti[attributo(x, QLatin1StringView("abstractNumId"))];
            while (x.readNextStartElement()) {
                const int i = attributo(x, QLatin1StringView("ilvl")).toInt();
                if (nomeW(x, QLatin1StringView("lvl")) && i >= 0 && i < kLivelli)
                    leggiLivello(x, livelli[size_t(i)]);
                else
                    x.skipCurrentElement();
            }
        } else if (nomeW(x, QLatin1StringView("num"))) {
            auto& numero = n.numeri[attributo(x, QLatin1StringView("numId"))];
            while (x.readNextStartElement()) {
                if (nomeW(x, QLatin1StringView("abstractNumId"))) {
                    numero.astratto = valore(x);
                    x.skipCurrentElement();
                } else if (nomeW(x, QLatin1StringView("lvlOverride"))) {
                    const int i = attributo(x, QLatin1StringView("ilvl")).toInt();
                    while (x.readNextStartElement()) {
                        if (nomeW(x, QLatin1StringView("startOverride")) && i >= 0 && i < kLivelli)
                            numero.inizi[size_t(i)] = qBound(0, valore(x).toInt(), 32767);
                        x.skipCurrentElement();
                    }
                } else {
                    x.skipCurrentElement();
                }
            }
        } else {
            x.skipCurrentElement();
        }
    });
    return n;
}

SegniElenco::Numerazione numerazioneDi(const QString& formato)
{
    using N = SegniElenco::Numerazione;
    static const QHash<QString, N> nomi{{QStringLiteral("lowerRoman"), N::romanaMinuscola},
                                        {QStringLiteral("upperRoman"), N::romanaMaiuscola},
                                        {QStringLiteral("lowerLetter"), N::letteraMinuscola},
                                        {QStringLiteral("upperLetter"), N::letteraMaiuscola},
                                        {QStringLiteral("decimalZero"), N::decimaleDueCifre},
                                        {QStringLiteral("none"), N::nessuna}};
    return nomi.value(formato, N::decimale);
}

class Lettore {
public:
    Lettore(const QByteArray& xml, Stili stili, Numerazione numerazione)
        : x_(xml), stili_(std::move(stili)), numerazione_(std::move(numerazione))
    {
    }

    std::optional<TestoFormattato> leggi()
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

private:
    // One paragraph being read; a text box inside it opens another over it.
    struct Aperto {
        Paragrafo paragrafo;
        ProprietaRun base; // the paragraph style's runs
        ProprietaRun run;  // the run being read
        bool giaScritto = false;
    };
    struct Tabella {
        int id = -1;
        int riga = -1;
        int colonna = -1;
        bool rigaConCelle = false;
        bool cellaConParagrafi = false;
    };
    struct Campo {
        QString istruzione;
        bool separato = false;
    };

    void inizio()
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
            a.paragrafo = paragrafoDa(stiliParagrafo(stili_.predefinito));
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
            for (const Stile* s : stili_.catena(stile))
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

    void fine()
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
    void campo(const QString& tipo)
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

    QList<const Stile*> stiliParagrafo(const QString& id) const { return stili_.catena(id); }

    ProprietaRun baseRun(const QString& stile) const
    {
        ProprietaRun r = stili_.run;
        for (const Stile* s : stiliParagrafo(stile))
            r.sopra(s->run);
        return r;
    }

    Paragrafo paragrafoDa(const QList<const Stile*>& catena) const
    {
        ProprietaParagrafo p = stili_.paragrafo;
        for (const Stile* s : catena)
            p.sopra(s->paragrafo);
        Paragrafo r;
        r.allineamento = p.allineamento.value_or(Allineamento::sinistra);
        r.titolo = p.titolo.value_or(0);
        r.rientro = p.rientro.value_or(0);
        r.primaRiga = p.primaRiga.value_or(0);
        r.spazioPrima = p.spazioPrima.value_or(0);
        r.spazioDopo = p.spazioDopo.value_or(0);
        return r;
    }

    // The style first, then the list level, then the paragraph's own properties.
    void impostaParagrafo(Aperto& a, const ProprietaParagrafo& diretto)
    {
        const QString stile = diretto.stile.value_or(stili_.predefinito);
        ProprietaParagrafo p = stili_.paragrafo;
        for (const Stile* s : stiliParagrafo(stile))
            p.sopra(s->paragrafo);
        const QString numero = diretto.numero.value_or(p.numero.value_or(QString()));
        const int livello = diretto.livello.value_or(p.livello.value_or(0));
        const Livello* l = livelloDi(numero, livello);
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
            const QString segno = segnoElenco(numero, livello, *l);
            if (!segno.isEmpty()) {
                ProprietaRun r = a.base;
                r.sopra(l->run);
                Tratto t = r.tratto();
                t.testo = segno + (l->dopo == QLatin1String("space") ? QStringLiteral(" ")
                                   : l->dopo == QLatin1String("nothing") ? QString()
                                                                        : QStringLiteral("\t"));
                a.paragrafo.tratti.push_back(t);
            }
        }
    }

    const Livello* livelloDi(const QString& numero, int livello) const
    {
        if (numero.isEmpty() || numero == QLatin1String("0"))
            return nullptr;
        const auto n = numerazione_.numeri.constFind(numero);
        if (n == numerazione_.numeri.cend())
            return nullptr;
        const auto a = numerazione_.astratti.constFind(n->astratto);
        return a == numerazione_.astratti.cend() ? nullptr : &(*a)[size_t(livello)];
    }

    // Counts the paragraph in its list and gives its marker: "%1." with the
    // level's own number, "%1.%2" with the levels above, a bullet as it is.
    QString segnoElenco(const QString& numero, int livello, const Livello& l)
    {
        auto& contatori = contatori_[numero];
        const auto& inizi = numerazione_.numeri.value(numero).inizi;
        const auto livelloDiNumero = [&](int i) -> const Livello& { return *livelloDi(numero, i); };
        const auto inizio = [&](int i) { return inizi[size_t(i)].value_or(livelloDiNumero(i).inizio); };
        contatori[size_t(livello)] = contatori[size_t(livello)] ? qMin(*contatori[size_t(livello)] + 1, 99999) : inizio(livello);
        for (int i = livello + 1; i < kLivelli; ++i)
            contatori[size_t(i)].reset();
        if (l.formato == QLatin1String("bullet"))
            return SegniElenco::punto(l.testo);
        if (l.formato == QLatin1String("none"))
            return {};
        QString segno = l.testo;
        for (int i = 0; i < kLivelli; ++i) {
            const QString segnaposto = QStringLiteral("%") + QString::number(i + 1);
            if (segno.contains(segnaposto))
                segno.replace(segnaposto, SegniElenco::numero(numerazioneDi(livelloDiNumero(i).formato), contatori[size_t(i)].value_or(inizio(i))));
        }
        return segno;
    }

    void aggiungi(const QString& t)
    {
        if (!aperti_.isEmpty())
            aperti_.last().paragrafo.aggiungi(aperti_.last().run.tratto(), t);
    }

    // Writes what `a` holds so far. An earlier part already written and
    // nothing since: only the last part of a paragraph may be empty, once.
    void scriviParte(Aperto& a, bool ultima)
    {
        if (a.paragrafo.tratti.isEmpty() && (!ultima || a.giaScritto))
            return;
        Paragrafo p = a.paragrafo;
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

    QXmlStreamReader x_;
    Stili stili_;
    Numerazione numerazione_;
    QHash<QString, std::array<std::optional<int>, kLivelli>> contatori_;
    TestoFormattato doc_;
    QList<Aperto> aperti_;
    QList<bool> alternative_; // whether an alternative of each open one was read
    QList<Campo> campi_;
    bool inCorpo_ = false;
    bool proprietaLette_ = false;
    int tabelle_ = 0; // depth of tables
    Tabella tabella_; // the outermost one
    int prossimaTabella_ = 0;
};

} // namespace

std::optional<QHash<QByteArray, QByteArray>> LettoreDocx::parti(const QByteArray& pacchetto, const QList<QByteArray>& nomi,
                                                                 qsizetype massimo)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    if (archive_read_open_memory(a.get(), pacchetto.constData(), size_t(pacchetto.size())) != ARCHIVE_OK)
        return std::nullopt;
    QHash<QByteArray, QByteArray> trovate;
    archive_entry* voce = nullptr;
    for (int n = 0; n < kMassimoVoci && trovate.size() < nomi.size(); ++n) {
        const int r = archive_read_next_header(a.get(), &voce);
        if (r == ARCHIVE_EOF)
            break;
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            return std::nullopt;
        const char* percorso = archive_entry_pathname(voce);
        if (!percorso || !nomi.contains(QByteArray(percorso)) || trovate.contains(percorso))
            continue;
        QByteArray dati;
        char blocco[65536];
        for (;;) {
            const la_ssize_t letti = archive_read_data(a.get(), blocco, sizeof blocco);
            if (letti < 0 || dati.size() + letti > massimo)
                return std::nullopt;
            if (letti == 0)
                break;
            dati.append(blocco, letti);
        }
        trovate.insert(percorso, dati);
    }
    return trovate;
}

std::optional<QByteArray> LettoreDocx::parte(const QByteArray& pacchetto, const QByteArray& nome, qsizetype massimo)
{
    const auto trovate = parti(pacchetto, {nome}, massimo);
    if (!trovate || !trovate->contains(nome))
        return std::nullopt;
    return trovate->value(nome);
}

std::optional<TestoFormattato> LettoreDocx::leggi(const QByteArray& pacchetto)
{
    if (pacchetto.size() > kMassimoPacchetto)
        return std::nullopt;
    const auto trovate = parti(pacchetto, {"word/document.xml", "word/styles.xml", "word/numbering.xml"}, kMassimoXml);
    if (!trovate || !trovate->contains("word/document.xml"))
        return std::nullopt;
    return leggiXml(trovate->value("word/document.xml"), trovate->value("word/styles.xml"),
                    trovate->value("word/numbering.xml"));
}

std::optional<TestoFormattato> LettoreDocx::leggiXml(const QByteArray& xml, const QByteArray& stili,
                                                     const QByteArray& numerazione)
{
    return Lettore(xml, leggiStili(stili), leggiNumerazione(numerazione)).leggi();
}
