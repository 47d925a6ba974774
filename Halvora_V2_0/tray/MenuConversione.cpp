#include "MenuConversione.h"

#include <QCoreApplication>

namespace {

QString tr(const char* testo) { return QCoreApplication::translate("Halvora", testo); }

QString conNumero(const char* testo, qsizetype n) { return tr(testo).arg(n); }

} // namespace

namespace MenuConversione {

QList<Sezione> sezioni(const Liste& l)
{
    using Op = OperazioneVassoio;
    QList<Sezione> menu;
    menu.append({tr("Archivio"), {{conNumero("Comprimi %1 file in ZIP", l.file.size()), Op::creaArchivio, l.file}}});
    if (!l.immagini.isEmpty()) {
        const qsizetype n = l.immagini.size();
        // The re-encodings take every file; the operation keeps the images.
        menu.append({tr("Immagini"),
                     {{conNumero("Converti %1 immagini in JPEG", n), Op::converti, l.file, kJpeg},
                      {conNumero("Converti %1 immagini in PNG", n), Op::converti, l.file, Conversione::png()},
                      {conNumero("Dimezza %1 immagini", n), Op::converti, l.file, kDimezza},
                      {conNumero("Riunisci %1 immagini in un PDF", n), Op::immaginiInPDF, l.immagini},
                      {conNumero("Estrai il testo da %1 immagini", n), Op::estraiTesto, l.immagini}}});
    }
    if (!l.pdf.isEmpty()) {
        Sezione pdf{tr("PDF"), {}};
        if (l.pdf.size() >= 2)
            pdf.voci.append({conNumero("Unisci %1 PDF in un documento", l.pdf.size()), Op::unisciPDF, l.pdf});
        pdf.voci.append({tr("Estrai il testo in Word"), Op::pdfInWord, l.pdf});
        pdf.voci.append({tr("Esporta le pagine come immagini"), Op::pdfInImmagini, l.pdf});
        menu.append(pdf);
    }
    if (!l.documenti.isEmpty())
        menu.append({tr("Documenti"),
                     {{conNumero("Converti %1 documenti in PDF", l.documenti.size()), Op::documentiInPDF,
                       l.documenti}}});
    return menu;
}

std::optional<QString> titoloEsito(OperazioneVassoio operazione, qsizetype n, bool testo)
{
    auto unoOMolti = [n](const char* uno, const char* molti) { return n == 1 ? tr(uno) : conNumero(molti, n); };
    if (operazione == OperazioneVassoio::estraiTesto)
        return testo && n > 0 ? std::optional<QString>(tr("Testo estratto e copiato")) : std::nullopt;
    if (n <= 0)
        return std::nullopt;
    switch (operazione) {
    case OperazioneVassoio::converti:
        return unoOMolti("Immagine convertita", "%1 immagini convertite");
    case OperazioneVassoio::immaginiInPDF:
        return tr("PDF creato");
    case OperazioneVassoio::unisciPDF:
        return tr("PDF uniti");
    case OperazioneVassoio::pdfInWord:
        return unoOMolti("Testo estratto in Word", "%1 documenti estratti");
    case OperazioneVassoio::pdfInImmagini:
        return conNumero("%1 pagine esportate", n);
    case OperazioneVassoio::documentiInPDF:
        return unoOMolti("Documento convertito", "%1 documenti convertiti");
    case OperazioneVassoio::creaArchivio:
        return tr("Archivio creato");
    case OperazioneVassoio::estraiTesto:
        break;
    }
    return std::nullopt;
}

QString titoloSenzaEsito() { return tr("Non convertito"); }

} // namespace MenuConversione
