#include "PdfInWord.h"

#include "ConversioniPdf.h"
#include "DocumentoWord.h"
#include "Interruzione.h"
#include "NomeLibero.h"
#include "RiconoscimentoTesto.h"
#include "TestoFormattato.h"

#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfSelection>

namespace {

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

} // namespace

std::optional<QString> PdfInWord::converti(const QString& pdf, const QString& cartella, const Interruzione& stop)
{
    QPdfDocument documento;
    if (documento.load(pdf) != QPdfDocument::Error::None)
        return std::nullopt;
    TestoFormattato doc;
    const int pagine = documento.pageCount();
    for (int i = 0; i < pagine; ++i) {
        if (stop.richiesta())
            return std::nullopt;
        const QString proprio = documento.getAllText(i).text();
        if (!proprio.trimmed().isEmpty()) {
            accoda(doc, proprio, 0);
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
