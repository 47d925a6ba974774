#include "CostruttoreDoc.h"

namespace {

// 22 inches, the widest page Word lays out.
constexpr int kRientroMassimo = 31680;

} // namespace

void CostruttoreDoc::paragrafo(const ProprietaParagrafo& p)
{
    // A paragraph left open (its mark was not part of the text) is ended first.
    if (!aperto_.tratti.isEmpty())
        chiudi();
    proprieta_ = p;
    proprieta_.livello = qBound(0, p.livello, 8);
    proprieta_.titolo = qBound(0, p.titolo, TestoFormattato::kTitoloMassimo);
    segnoDato_ = false;
}

void CostruttoreDoc::testo(char16_t c)
{
    if (carattere_.nascosto)
        return;
    switch (c) {
    case kInizioCampo:
        if (campi_.size() < 64)
            campi_.push_back({});
        return;
    case kSeparaCampo:
        if (!campi_.isEmpty())
            campi_.last().separato = true;
        return;
    case kFineCampo: {
        if (campi_.isEmpty())
            return;
        // A button field without a result shows its own text, as Word does.
        const Campo campo = campi_.takeLast();
        const QStringList parole = campo.istruzione.simplified().split(QLatin1Char(' '));
        if (!campo.separato && parole.size() > 2
            && parole[0].compare(QLatin1String("MACROBUTTON"), Qt::CaseInsensitive) == 0)
            aggiungi(parole.mid(2).join(QLatin1Char(' ')));
        return;
    }
    default:
        break;
    }
    // The instruction of a field is not its text.
    if (!campi_.isEmpty() && !campi_.last().separato) {
        if (campi_.last().istruzione.size() < 4096 && c >= 0x20 && !QChar::isSurrogate(c) && c < 0xFFFE)
            campi_.last().istruzione += QChar(c);
        return;
    }
    if (QChar::isHighSurrogate(c)) {
        alto_ = c;
        return;
    }
    if (QChar::isLowSurrogate(c)) {
        if (alto_)
            {
            const QChar coppia[] = {QChar(std::exchange(alto_, char16_t(0))), QChar(c)};
            aggiungi(QString(coppia, 2));
        }
        return;
    }
    alto_ = 0;
    switch (c) {
    case kParagrafo:
    case kPagina:
        chiudi();
        return;
    case kCella:
        if (proprieta_.inTabella && proprieta_.fineRiga) {
            // The row's own mark: the cells before it make the row.
            aperto_ = {};
            celle_.fineRiga();
        } else {
            chiudi();
            if (proprieta_.inTabella)
                celle_.fineCella();
        }
        return;
    case kTab:
        aggiungi(QStringLiteral("\t"));
        return;
    case kRiga:
        aggiungi(QString(QChar(u'\u2028')));
        return;
    case kTrattino:
        aggiungi(QString(QChar(u'\u2011')));
        return;
    default:
        break;
    }
    // Other marks (pictures, objects, optional hyphens) and what XML cannot carry are left out.
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF)
        return;
    aggiungi(QString(QChar(c)));
}

TestoFormattato::Tratto CostruttoreDoc::tratto() const
{
    TestoFormattato::Tratto t;
    t.grassetto = carattere_.grassetto;
    t.corsivo = carattere_.corsivo;
    t.sottolineato = carattere_.sottolineato;
    t.barrato = carattere_.barrato;
    t.punti = carattere_.mezziPunti > 0 ? qMin(carattere_.mezziPunti, 3200) / 2.0 : 0;
    if (carattere_.colore)
        t.colore = *carattere_.colore & 0xFFFFFF;
    return t;
}

void CostruttoreDoc::segna()
{
    if (proprieta_.elenco <= 0 || segnoDato_ || !aperto_.tratti.isEmpty())
        return;
    segnoDato_ = true;
    const QString segno = segnoElenco();
    if (segno.isEmpty())
        return;
    TestoFormattato::Tratto s = tratto();
    s.testo = segno + QLatin1Char('\t');
    aperto_.tratti.push_back(s);
}

void CostruttoreDoc::aggiungi(const QString& t)
{
    if (t.isEmpty() || caratteri_ + t.size() > kMassimoCaratteri)
        return;
    caratteri_ += t.size();
    segna();
    aperto_.aggiungi(tratto(), t);
}

QString CostruttoreDoc::segnoElenco()
{
    auto& contatori = contatori_[proprieta_.elenco];
    auto& mio = contatori[size_t(proprieta_.livello)];
    mio = mio ? qMin(*mio + 1, 99999) : qBound(0, proprieta_.inizio, 32767);
    for (size_t i = size_t(proprieta_.livello) + 1; i < contatori.size(); ++i)
        contatori[i].reset();
    if (proprieta_.punto)
        return SegniElenco::punto(proprieta_.segno.left(8));
    QString segno;
    for (const QChar c : proprieta_.segno.left(64)) {
        if (c.unicode() < 9) {
            // The levels above count in decimals: only this level's numbering is known.
            const bool questo = int(c.unicode()) == proprieta_.livello;
            segno += SegniElenco::numero(questo ? proprieta_.numerazione : SegniElenco::Numerazione::decimale,
                                         contatori[c.unicode()].value_or(1));
        } else if (c.unicode() >= 0x20 && !c.isSurrogate() && c.unicode() < 0xFFFE) {
            segno += c;
        }
    }
    return segno;
}

void CostruttoreDoc::chiudi()
{
    // A list paragraph with no text of its own still shows its marker.
    segna();
    TestoFormattato::Paragrafo p = std::exchange(aperto_, {});
    p.allineamento = proprieta_.allineamento;
    p.titolo = proprieta_.titolo;
    p.rientro = qBound(-kRientroMassimo, proprieta_.rientro, kRientroMassimo) / 20.0;
    p.primaRiga = qBound(-kRientroMassimo, proprieta_.primaRiga, kRientroMassimo) / 20.0;
    p.spazioPrima = qBound(0, proprieta_.spazioPrima, kRientroMassimo) / 20.0;
    p.spazioDopo = qBound(0, proprieta_.spazioDopo, kRientroMassimo) / 20.0;
    p.cella = celle_.paragrafo(proprieta_.inTabella);
    segnoDato_ = false;
    alto_ = 0;
    doc_.paragrafi.push_back(std::move(p));
}

TestoFormattato CostruttoreDoc::documento()
{
    if (!aperto_.tratti.isEmpty())
        chiudi();
    return doc_;
}
