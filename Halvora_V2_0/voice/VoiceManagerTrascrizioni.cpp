// Transcripts of VoiceManager.
#include "VoiceManager.h"

#include "Diagnostica.h"
#include "NomiMemo.h"
#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>

bool VoiceManager::inScrittura(const QUrl& url) const
{
    const QString percorso = QDir::cleanPath(url.toLocalFile());
    auto scrive = [&percorso](const Registratore& r) { return r && QDir::cleanPath(r->percorso()) == percorso; };
    return scrive(audioRecorder_) || std::any_of(inChiusura_.begin(), inChiusura_.end(), scrive);
}

void VoiceManager::transcribe(const QUrl& url)
{
    // One at a time; and half a file is no memo to transcribe.
    if (!trascrizioneInCorso_.isEmpty() || inScrittura(url))
        return;
    setTrascrizioneInCorso(url);
    impostaErrore({});
    trascrizioneScartata_ = false;
    QPointer<VoiceManager> io(this);
    // Recognition never leaves this computer, whatever the privacy switch says.
    trascrittore_(url.toLocalFile(), true, [io](TrascrittoreAudio::Esito esito) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [io, esito] {
                if (io)
                    io->trascrizioneFinita(esito);
            },
            Qt::QueuedConnection);
    });
}

void VoiceManager::trascrizioneFinita(const TrascrittoreAudio::Esito& esito)
{
    // The memo's URL now: a rename meanwhile moved it.
    const QUrl url = trascrizioneInCorso_;
    const bool scartata = std::exchange(trascrizioneScartata_, false);
    setTrascrizioneInCorso({});
    // A transcript without its memo would only block that name later.
    if (scartata || !QFileInfo::exists(url.toLocalFile()))
        return;
    using Tipo = TrascrittoreAudio::Esito::Tipo;
    switch (esito.tipo) {
    case Tipo::testo: {
        // On disk before anything reloads the list, which reads transcripts
        // from there. A transcript that cannot be kept is still shown for
        // this run, and the user learns it will not last.
        if (const auto errore =
                SalvataggioSicuro::salva(NomiMemo::percorsoTrascrizione(url.toLocalFile()), esito.testo.toUtf8())) {
            diagnostica(QStringLiteral("Errore scrittura trascrizione: ") + errore->testo());
            impostaErrore(tr("Trascrizione non salvata: %1").arg(errore->testo()));
        }
        auto testi = trascrizioni_;
        testi.insert(url, esito.testo);
        impostaTrascrizioni(std::move(testi));
        applyTranscriptTitle(url, esito.testo);
        break;
    }
    case Tipo::fallita:
        impostaErrore(esito.testo);
        break;
    case Tipo::permessoNegato:
        impostaErrore(tr("Riconoscimento vocale non autorizzato. Abilitalo in Impostazioni di Sistema."));
        break;
    case Tipo::nonDisponibile:
        impostaErrore(tr("Riconoscimento vocale non disponibile per questa lingua."));
        break;
    }
}

void VoiceManager::applyTranscriptTitle(const QUrl& url, const QString& testo)
{
    // A name the user is typing is not replaced under their fingers.
    if (memoInRinomina_ == url)
        return;
    if (const auto titolo = NomiMemo::titoloDaTrascrizione(QFileInfo(url.toLocalFile()).completeBaseName(), testo))
        renameMemo(url, *titolo);
}
