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
    // One input's own result: counted when it gives nothing.
    auto aggiungi = [&esito](const std::optional<QString>& file) {
        if (file)
            esito.file << *file;
        else
            ++esito.nonConvertiti;
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
        esito.nonConvertiti = esito.file.isEmpty() ? int(ingressi.size()) : 0;
        break;
    }
    case OperazioneVassoio::immaginiInPDF: {
        int nonLette = 0;
        aggiungi(ConversioniImmagine::immaginiInPDF(ingressi, cartella, QStringLiteral("Documento"), stop, &nonLette));
        esito.nonConvertiti = esito.file.isEmpty() ? int(ingressi.size()) : nonLette;
        break;
    }
    case OperazioneVassoio::pdfInImmagini:
        for (const QString& pdf : ingressi) {
            if (stop.richiesta())
                break;
            const QStringList pagine = ConversioniPdf::pdfInImmagini(pdf, cartella, stop);
            esito.file << pagine;
            esito.nonConvertiti += pagine.isEmpty();
        }
        break;
    case OperazioneVassoio::unisciPDF:
        aggiungi(ConversioniPdf::unisciPDF(ingressi, cartella, QStringLiteral("Unito"), stop));
        esito.nonConvertiti = esito.file.isEmpty() ? int(ingressi.size()) : 0;
        break;
    case OperazioneVassoio::estraiTesto: {
        QStringList testi;
        for (const QString& percorso : ingressi) {
            if (stop.richiesta())
                break;
            const auto immagine = LettoreImmagine::leggiEntro(percorso);
            const auto testo = immagine ? RiconoscimentoTesto::riconosciTesto(immagine->immagine, stop) : std::nullopt;
            if (!testo) {
                ++esito.nonConvertiti;
                continue;
            }
            testi << *testo;
            if (const auto file = RiconoscimentoTesto::salvaTesto(*testo, QFileInfo(percorso).completeBaseName(), cartella))
                esito.file << *file;
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
