#include "OperazioniVassoio.h"

#include "ConversioniImmagine.h"
#include "ConversioniPdf.h"

#include <QFileInfo>

namespace OperazioniVassoio {

EsitoVassoio esegui(OperazioneVassoio operazione, const QStringList& ingressi, const Conversione& conversione,
                    const QString& cartella, const Interruzione& stop)
{
    EsitoVassoio esito;
    auto aggiungi = [&esito](const std::optional<QString>& file) {
        if (file)
            esito.file << *file;
    };
    switch (operazione) {
    case OperazioneVassoio::converti:
        for (const QString& immagine : ingressi) {
            if (stop.richiesta())
                break;
            aggiungi(ConversioniImmagine::converti(immagine, conversione, cartella));
        }
        break;
    case OperazioneVassoio::creaArchivio: {
        const QString base = ingressi.size() == 1 ? QFileInfo(ingressi.first()).completeBaseName()
                                                  : QStringLiteral("Archivio");
        Q_UNUSED(base); // the ZIP writer is plugged in here
        break;
    }
    case OperazioneVassoio::immaginiInPDF:
        aggiungi(ConversioniImmagine::immaginiInPDF(ingressi, cartella, QStringLiteral("Documento"), stop));
        break;
    case OperazioneVassoio::pdfInImmagini:
        for (const QString& pdf : ingressi) {
            if (stop.richiesta())
                break;
            esito.file << ConversioniPdf::pdfInImmagini(pdf, cartella, stop);
        }
        break;
    case OperazioneVassoio::unisciPDF:
        aggiungi(ConversioniPdf::unisciPDF(ingressi, cartella, QStringLiteral("Unito"), stop));
        break;
    case OperazioneVassoio::estraiTesto:
    case OperazioneVassoio::pdfInWord:
    case OperazioneVassoio::documentiInPDF:
        // Text recognition, Word and document layout are plugged in here.
        break;
    }
    return esito;
}

} // namespace OperazioniVassoio
