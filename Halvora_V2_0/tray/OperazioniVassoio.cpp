#include "OperazioniVassoio.h"

#include "ArchivioZip.h"
#include "ConversioniImmagine.h"
#include "ConversioniPdf.h"
#include "DocumentoInPDF.h"
#include "LettoreImmagine.h"
#include "PdfInWord.h"
#include "RiconoscimentoTesto.h"

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
        aggiungi(ArchivioZip::crea(ingressi, base, cartella, stop));
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
    case OperazioneVassoio::estraiTesto: {
        QStringList testi;
        for (const QString& percorso : ingressi) {
            if (stop.richiesta())
                break;
            const auto immagine = LettoreImmagine::leggi(percorso);
            const auto testo = immagine ? RiconoscimentoTesto::riconosciTesto(immagine->immagine, stop) : std::nullopt;
            if (!testo)
                continue;
            testi << *testo;
            aggiungi(RiconoscimentoTesto::salvaTesto(*testo, QFileInfo(percorso).completeBaseName(), cartella));
        }
        esito.testo = testi.join(QStringLiteral("\n\n"));
        break;
    }
    case OperazioneVassoio::pdfInWord:
        for (const QString& pdf : ingressi) {
            if (stop.richiesta())
                break;
            aggiungi(PdfInWord::converti(pdf, cartella, stop));
        }
        break;
    case OperazioneVassoio::documentiInPDF:
        for (const QString& documento : ingressi) {
            if (stop.richiesta())
                break;
            aggiungi(DocumentoInPDF::converti(documento, cartella, stop));
        }
        break;
    }
    return esito;
}

} // namespace OperazioniVassoio
