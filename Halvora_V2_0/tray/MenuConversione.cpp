#include "MenuConversione.h"

#include "Testi.h"

namespace MenuConversione {

QList<Sezione> sezioni(const Liste& l)
{
    using Op = OperazioneVassoio;
    QList<Sezione> menu;
    menu.append({Testi::tr("Archivio"), {{Testi::tr("Comprimi %1 file in ZIP").arg(l.file.size()), Op::creaArchivio, l.file}}});
    if (!l.immagini.isEmpty()) {
        const qsizetype n = l.immagini.size();
        // The re-encodings take every file; the operation keeps the images.
        menu.append({Testi::tr("Immagini"),
                     {{Testi::tr("Converti %1 immagini in JPEG").arg(n), Op::converti, l.file, kJpeg},
                      {Testi::tr("Converti %1 immagini in PNG").arg(n), Op::converti, l.file, Conversione::png()},
                      {Testi::tr("Dimezza %1 immagini").arg(n), Op::converti, l.file, kDimezza},
                      {Testi::tr("Riunisci %1 immagini in un PDF").arg(n), Op::immaginiInPDF, l.immagini},
                      {Testi::tr("Estrai il testo da %1 immagini").arg(n), Op::estraiTesto, l.immagini}}});
    }
    if (!l.pdf.isEmpty()) {
        Sezione pdf{Testi::tr("PDF"), {}};
        if (l.pdf.size() >= 2)
            pdf.voci.append({Testi::tr("Unisci %1 PDF in un documento").arg(l.pdf.size()), Op::unisciPDF, l.pdf});
        pdf.voci.append({Testi::tr("Estrai il testo in Word"), Op::pdfInWord, l.pdf});
        pdf.voci.append({Testi::tr("Esporta le pagine come immagini"), Op::pdfInImmagini, l.pdf});
        menu.append(pdf);
    }
    if (!l.documenti.isEmpty())
        menu.append({Testi::tr("Documenti"),
                     {{Testi::tr("Converti %1 documenti in PDF").arg(l.documenti.size()), Op::documentiInPDF,
                       l.documenti}}});
    return menu;
}

std::optional<QString> titoloEsito(OperazioneVassoio operazione, qsizetype n, bool testo)
{
    auto unoOMolti = [n](const QString& uno, const QString& molti) { return n == 1 ? uno : molti.arg(n); };
    if (operazione == OperazioneVassoio::estraiTesto)
        return testo && n > 0 ? std::optional<QString>(Testi::tr("Testo estratto e copiato")) : std::nullopt;
    if (n <= 0)
        return std::nullopt;
    switch (operazione) {
    case OperazioneVassoio::converti:
        return unoOMolti(Testi::tr("Immagine convertita"), Testi::tr("%1 immagini convertite"));
    case OperazioneVassoio::immaginiInPDF:
        return Testi::tr("PDF creato");
    case OperazioneVassoio::unisciPDF:
        return Testi::tr("PDF uniti");
    case OperazioneVassoio::pdfInWord:
        return unoOMolti(Testi::tr("Testo estratto in Word"), Testi::tr("%1 documenti estratti"));
    case OperazioneVassoio::pdfInImmagini:
        return Testi::tr("%1 pagine esportate").arg(n);
    case OperazioneVassoio::documentiInPDF:
        return unoOMolti(Testi::tr("Documento convertito"), Testi::tr("%1 documenti convertiti"));
    case OperazioneVassoio::creaArchivio:
        return Testi::tr("Archivio creato");
    case OperazioneVassoio::estraiTesto:
        break;
    }
    return std::nullopt;
}

QString titoloSenzaEsito() { return Testi::tr("Non convertito"); }

} // namespace MenuConversione
