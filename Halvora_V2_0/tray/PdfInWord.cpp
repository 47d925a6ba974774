#include "PdfInWord.h"

#include "ConversioniPdf.h"
#include "DocumentoWord.h"
#include "Interruzione.h"
#include "NomeLibero.h"
#include "RiconoscimentoTesto.h"

#include <QFileInfo>
#include <QPdfDocument>

namespace {

using Parola = TestoPdf::Parola;
using Paragrafo = TestoFormattato::Paragrafo;

// Appends `testo` to the document, a new paragraph at every line feed.
void accoda(TestoFormattato& doc, QString testo, double punti)
{
    testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (doc.paragrafi.isEmpty())
        doc.paragrafi.push_back({});
    const QStringList righe = testo.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (i > 0)
            doc.paragrafi.push_back({});
        if (!righe[i].isEmpty())
            doc.paragrafi.last().tratti.push_back({righe[i], false, false, false, false, punti});
    }
}

struct Riga {
    QList<Parola> parole;
    QRectF riquadro;
    double punti = 0; // the largest on the line
};

QList<Riga> righe(const QList<Parola>& parole)
{
    QList<Riga> r;
    for (const Parola& p : parole) {
        if (p.testo.isEmpty())
            continue;
        const bool stessa = !r.isEmpty() && !r.last().parole.isEmpty()
            && p.riquadro.left() >= r.last().riquadro.right() - 1
            && qAbs(p.riquadro.center().y() - r.last().riquadro.center().y()) < 0.5 * qMax(p.riquadro.height(), r.last().riquadro.height());
        if (!stessa)
            r.push_back({});
        Riga& riga = r.last();
        riga.parole.push_back(p);
        riga.riquadro = riga.riquadro.isNull() ? p.riquadro : riga.riquadro.united(p.riquadro);
        riga.punti = qMax(riga.punti, p.punti);
    }
    return r;
}

// Sizes as word processors keep them, in half points.
double mezzoPunto(double punti) { return qBound(0.0, qRound(punti * 2) / 2.0, 1600.0); }

void aggiungi(Paragrafo& p, const QString& testo, const Parola& come)
{
    TestoFormattato::Tratto t;
    t.grassetto = come.grassetto();
    t.corsivo = come.corsivo();
    t.punti = mezzoPunto(come.punti);
    p.aggiungi(t, testo);
}

} // namespace

QList<TestoFormattato::Paragrafo> PdfInWord::paragrafi(const QList<Parola>& parole)
{
    const QList<Riga> tutte = righe(parole);
    double destra = 0;
    for (const Riga& r : tutte)
        destra = qMax(destra, r.riquadro.right());
    QList<Paragrafo> risultato;
    const Riga* prima = nullptr;
    for (const Riga& r : tutte) {
        bool continua = false;
        if (prima) {
            const double altezza = qMax(prima->riquadro.height(), r.riquadro.height());
            const double salto = r.riquadro.top() - prima->riquadro.bottom();
            continua = prima->riquadro.right() >= destra - 4 * qMax(prima->punti, 1.0)
                && salto >= -0.25 * altezza && salto < 0.8 * altezza
                && qAbs(r.punti - prima->punti) < 1
                && qAbs(r.riquadro.left() - prima->riquadro.left()) < 2 * qMax(r.punti, 1.0);
        }
        if (!continua) {
            risultato.push_back({});
        } else {
            // A word broken at the line's end is joined again; other lines meet with a space.
            TestoFormattato::Tratto& ultimo = risultato.last().tratti.last();
            const QString& seguente = r.parole.first().testo;
            if (ultimo.testo.size() > 1 && ultimo.testo.endsWith(QLatin1Char('-')) && ultimo.testo[ultimo.testo.size() - 2].isLetter()
                && seguente.front().isLower())
                ultimo.testo.chop(1);
            else if (!ultimo.testo.endsWith(QLatin1Char(' ')))
                aggiungi(risultato.last(), QStringLiteral(" "), prima->parole.last());
        }
        for (qsizetype i = 0; i < r.parole.size(); ++i) {
            const Parola& p = r.parole[i];
            aggiungi(risultato.last(), p.testo, p);
            if (i + 1 < r.parole.size() && (p.spazioDopo || r.parole[i + 1].riquadro.left() > p.riquadro.right() + 0.15 * p.punti))
                aggiungi(risultato.last(), QStringLiteral(" "), p);
        }
        prima = &r;
    }
    return risultato;
}

std::optional<QString> PdfInWord::converti(const QString& pdf, const QString& cartella, const Interruzione& stop)
{
    QPdfDocument documento;
    if (documento.load(pdf) != QPdfDocument::Error::None)
        return std::nullopt;
    const auto parole = TestoPdf::parole(pdf);
    TestoFormattato doc;
    const int pagine = documento.pageCount();
    for (int i = 0; i < pagine; ++i) {
        if (stop.richiesta())
            return std::nullopt;
        QList<Paragrafo> propri;
        if (parole && i < parole->size())
            propri = paragrafi(parole->at(i));
        TestoFormattato pagina{propri};
        if (!pagina.testoSemplice().trimmed().isEmpty()) {
            // The page's first paragraph goes on from what stands before it, as its text would.
            if (doc.paragrafi.isEmpty())
                doc.paragrafi.push_back({});
            doc.paragrafi.last().tratti += propri.takeFirst().tratti;
            doc.paragrafi += propri;
        } else if (!documento.pagePointSize(i).isEmpty()) {
            // A scan: its text is only in the picture. Recognised text is set in 12 points.
            const QImage immagine = ConversioniPdf::renderPagina(documento, i, kScalaRiconoscimento);
            if (!immagine.isNull())
                if (const auto letto = RiconoscimentoTesto::riconosciTesto(immagine, stop))
                    accoda(doc, *letto, 12);
        }
        if (i < pagine - 1)
            accoda(doc, QStringLiteral("\n\n"), 0);
    }
    if (doc.testoSemplice().trimmed().isEmpty() || stop.richiesta())
        return std::nullopt;
    auto nome = NomeLibero::riserva(cartella, QFileInfo(pdf).completeBaseName(), QStringLiteral("docx"));
    const QByteArray pacchetto = DocumentoWord::pacchetto(doc);
    if (!nome || pacchetto.isEmpty() || !nome->scrivi(pacchetto))
        return std::nullopt;
    return nome->conferma();
}
