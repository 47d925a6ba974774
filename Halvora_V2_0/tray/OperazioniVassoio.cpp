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
    auto mancato = [&esito](const QString& ingresso) {
        ++esito.nonConvertiti;
        esito.senzaEsito << ingresso;
    };
    // One input's own result: counted and named when it gives nothing.
    auto aggiungi = [&esito, &mancato](const QString& ingresso, const std::optional<QString>& file) {
        if (file)
            esito.file << *file;
        else
            mancato(ingresso);
    };
    // One result of all the inputs: when it gives nothing, all of them gave nothing.
    auto aggiungiUno = [&esito, &ingressi](const std::optional<QString>& file) {
        if (file) {
            esito.file << *file;
            return;
        }
        esito.nonConvertiti = int(ingressi.size());
        esito.senzaEsito = ingressi;
    };
    switch (operazione) {
    case OperazioneVassoio::converti:
        for (const QString& immagine : ingressi) {
            if (stop.richiesta())
                break;
            aggiungi(immagine, ConversioniImmagine::converti(immagine, conversione, cartella));
        }
        break;
    case OperazioneVassoio::creaArchivio: {
        const QString base = ingressi.size() == 1 ? QFileInfo(ingressi.first()).completeBaseName()
                                                  : QStringLiteral("Archivio");
        aggiungiUno(ArchivioZip::crea(ingressi, base, cartella, stop));
        break;
    }
    case OperazioneVassoio::immaginiInPDF: {
        int nonLette = 0;
        aggiungiUno(ConversioniImmagine::immaginiInPDF(ingressi, cartella, QStringLiteral("Documento"), stop, &nonLette));
        if (!esito.file.isEmpty())
            esito.nonConvertiti = nonLette;
        break;
    }
    case OperazioneVassoio::pdfInImmagini:
        for (const QString& pdf : ingressi) {
            if (stop.richiesta())
                break;
            const QStringList pagine = ConversioniPdf::pdfInImmagini(pdf, cartella, stop);
            esito.file << pagine;
            if (pagine.isEmpty())
                mancato(pdf);
        }
        break;
    case OperazioneVassoio::unisciPDF:
        aggiungiUno(ConversioniPdf::unisciPDF(ingressi, cartella, QStringLiteral("Unito"), stop));
        break;
    case OperazioneVassoio::estraiTesto: {
        QStringList testi;
        for (const QString& percorso : ingressi) {
            if (stop.richiesta())
                break;
            const auto immagine = LettoreImmagine::leggiEntro(percorso);
            const auto testo = immagine ? RiconoscimentoTesto::riconosciTesto(immagine->immagine, stop) : std::nullopt;
            if (!testo) {
                mancato(percorso);
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
            aggiungi(pdf, PdfInWord::converti(pdf, cartella, stop));
        }
        break;
    case OperazioneVassoio::documentiInPDF:
        for (const QString& documento : ingressi) {
            if (stop.richiesta())
                break;
            // A Word 97 reader that hangs past its limit gives nothing, counted here like any failure.
            aggiungi(documento, DocumentoInPDF::converti(documento, cartella, stop));
        }
        break;
    }
    return esito;
}

} // namespace OperazioniVassoio
