// Recording and playback of VoiceManager.
#include "VoiceManager.h"

#include "Diagnostica.h"
#include "NomiMemo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace {
// How long quitting waits for a recording's file to be closed.
constexpr int attesaChiusuraMs = 3000;
} // namespace

void VoiceManager::chiediAccessoMicrofono()
{
    if (audio_.permessoMicrofono() == PermessoMicrofono::nonDeterminato)
        audio_.richiediPermessoMicrofono([](bool) {});
}

void VoiceManager::requestMicrophoneAndRecord()
{
    const QString negato = tr("Accesso al microfono negato. Abilitalo in Impostazioni di Sistema.");
    switch (audio_.permessoMicrofono()) {
    case PermessoMicrofono::autorizzato:
        startRecording();
        break;
    case PermessoMicrofono::nonDeterminato: {
        QPointer<VoiceManager> io(this);
        audio_.richiediPermessoMicrofono([io, negato](bool concesso) {
            // The answer may come on any thread.
            QMetaObject::invokeMethod(
                io.data(),
                [io, concesso, negato] {
                    if (!io)
                        return;
                    if (concesso) {
                        io->impostaPermissionDenied(false);
                        io->startRecording();
                    } else {
                        io->reportRecordingFailure(negato, true);
                    }
                },
                Qt::QueuedConnection);
        });
        break;
    }
    case PermessoMicrofono::negato:
        reportRecordingFailure(negato, true);
        break;
    }
}

void VoiceManager::startRecording()
{
    if (audioPlayer_)
        fermaLettore();

    // A recording still running is ended properly before the new one replaces it.
    if (audioRecorder_) {
        audioRecorder_->ferma();
        inChiusura_.push_back(std::move(audioRecorder_));
    }

    const QString cartella = memosFolder();
    if (!QDir().mkpath(cartella)) {
        diagnostica(QStringLiteral("ERRORE directory documenti: impossibile creare ") + cartella);
        reportRecordingFailure(tr("Impossibile preparare la cartella dei memo."), false);
        return;
    }
    const QString percorso = NomiMemo::percorsoUnico(cartella, defaultMemoName());

    QString errore;
    std::unique_ptr<RegistratoreAudio> nuovo = audio_.creaRegistratore(percorso, &errore);
    if (!nuovo) {
        diagnostica(QStringLiteral("ERRORE FATALE REGISTRAZIONE: ") + errore);
        QFile::remove(percorso);
        reportRecordingFailure(tr("Registrazione non riuscita: %1").arg(errore), false);
        return;
    }
    audioRecorder_.reset(nuovo.release());
    RegistratoreAudio* r = audioRecorder_.get();
    connect(r, &RegistratoreAudio::finito, this, [this, r](bool riuscito) { registrazioneFinita(r, riuscito); });
    if (!r->registra()) {
        audioRecorder_.reset();
        // A start that failed leaves no empty memo behind.
        QFile::remove(percorso);
        reportRecordingFailure(tr("Impossibile avviare la registrazione. Controlla il microfono."), false);
        return;
    }

    QMetaObject::invokeMethod(
        this,
        [this] {
            impostaPermissionDenied(false);
            impostaErrore({});
            setIsRecording(true);
            timer_.cancel();
            impostaDurata(0);
            timer_ = clock_.repeating(1.0, [this] { impostaDurata(recordingDuration_ + 1.0); });
        },
        Qt::QueuedConnection);
}

void VoiceManager::azzeraCronometro()
{
    timer_.cancel();
    impostaDurata(0);
}

void VoiceManager::reportRecordingFailure(const QString& messaggio, bool negato)
{
    QMetaObject::invokeMethod(
        this,
        [this, messaggio, negato] {
            setIsRecording(false);
            azzeraCronometro();
            impostaPermissionDenied(negato);
            impostaErrore(messaggio);
        },
        Qt::QueuedConnection);
}

void VoiceManager::stopRecording()
{
    if (audioRecorder_)
        audioRecorder_->ferma();
    QMetaObject::invokeMethod(
        this,
        [this] {
            setIsRecording(false);
            azzeraCronometro();
        },
        Qt::QueuedConnection);

    QString percorso;
    if (audioRecorder_) {
        percorso = audioRecorder_->percorso();
        // Kept until the backend reports the file closed.
        inChiusura_.push_back(std::move(audioRecorder_));
    }
    if (!percorso.isEmpty() && QFileInfo::exists(percorso))
        diagnostica(QStringLiteral("File salvato con successo in: ") + percorso);
    else
        diagnostica(QStringLiteral("ERRORE: Il file non è stato trovato sul disco dopo lo stop."));
    loadRecordings();
}

void VoiceManager::registrazioneFinita(RegistratoreAudio* registratore, bool riuscito)
{
    const QString percorso = registratore->percorso();
    if (registratore == audioRecorder_.get()) {
        audioRecorder_.reset();
        QMetaObject::invokeMethod(
            this,
            [this] {
                azzeraCronometro();
                setIsRecording(false);
            },
            Qt::QueuedConnection);
    } else {
        // A late end of a recording already stopped: a newer one keeps its state.
        std::erase_if(inChiusura_, [registratore](const Registratore& r) { return r.get() == registratore; });
    }
    // A recording that failed before writing anything is not a memo.
    if (!riuscito && QFileInfo(percorso).exists() && QFileInfo(percorso).size() == 0)
        QFile::remove(percorso);
    if (riuscito)
        loadRecordings();
}

void VoiceManager::concludiRegistrazioni()
{
    std::vector<Registratore> tutti = std::move(inChiusura_);
    inChiusura_.clear();
    if (audioRecorder_)
        tutti.push_back(std::move(audioRecorder_));
    for (const Registratore& r : tutti) {
        disconnect(r.get(), nullptr, this, nullptr);
        r->fermaEAttendi(attesaChiusuraMs);
    }
    if (!tutti.empty()) {
        setIsRecording(false);
        azzeraCronometro();
    }
}

void VoiceManager::fermaLettore()
{
    if (audioPlayer_) {
        audioPlayer_->ferma();
        audioPlayer_.reset();
    }
    impostaPlayingURL({});
}

void VoiceManager::playMemo(const QUrl& url)
{
    QMetaObject::invokeMethod(
        this,
        [this, url] {
            if (playingURL_ == url && audioPlayer_ && audioPlayer_->inRiproduzione()) {
                fermaLettore();
                return;
            }
            if (audioPlayer_) {
                audioPlayer_->ferma();
                audioPlayer_.reset();
            }
            const QString percorso = QDir::cleanPath(url.toLocalFile());
            QString errore;
            std::unique_ptr<LettoreAudio> lettore = audio_.creaLettore(percorso, &errore);
            if (!lettore) {
                impostaPlayingURL({});
                diagnostica(QStringLiteral("ERRORE AUDIO FATALE: ") + errore);
                return;
            }
            audioPlayer_.reset(lettore.release());
            QPointer<LettoreAudio> questo(audioPlayer_.get());
            connect(questo, &LettoreAudio::finito, this, [this, questo](bool) {
                QMetaObject::invokeMethod(
                    this,
                    [this, questo] {
                        // Only the player that finished is dropped; a newer one keeps playing.
                        if (questo && questo == audioPlayer_.get()) {
                            audioPlayer_.reset();
                            impostaPlayingURL({});
                        }
                    },
                    Qt::QueuedConnection);
            });
            audioPlayer_->impostaVolume(1.0f);
            audioPlayer_->riproduci();
            impostaPlayingURL(url);
            diagnostica(QStringLiteral("In riproduzione: ") + percorso);
        },
        Qt::QueuedConnection);
}
