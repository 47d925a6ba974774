// Recording and playback of VoiceManager.
#include "VoiceManager.h"

#include "Diagnostica.h"
#include "LettoreMp4.h"
#include "NomiMemo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStorageInfo>

namespace {
// How long quitting waits for a recording's file to be closed.
constexpr int attesaChiusuraMs = 3000;
// Below this much free room (a few seconds of audio) the disk counts as
// full: no recording starts, and one that failed was stopped by it.
constexpr qint64 kSpazioMinimo = 64 * 1024;

bool discoPieno(const QString& cartella)
{
    const QStorageInfo disco(cartella);
    return disco.isValid() && disco.bytesAvailable() >= 0 && disco.bytesAvailable() < kSpazioMinimo;
}
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
    if (discoPieno(cartella)) {
        reportRecordingFailure(tr("Il disco è pieno: impossibile registrare."), false);
        return;
    }
    // The memo's file is made here, so no other recording can take its name.
    const std::optional<QString> riservato = NomiMemo::riservaPercorsoUnico(cartella, defaultMemoName());
    if (!riservato) {
        diagnostica(QStringLiteral("ERRORE FATALE REGISTRAZIONE: nessun file in ") + cartella);
        reportRecordingFailure(discoPieno(cartella) ? tr("Il disco è pieno: impossibile registrare.")
                                                    : tr("Impossibile preparare la cartella dei memo."),
                               false);
        return;
    }
    const QString percorso = *riservato;

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
    // Recording, and counting, from the microphone's first audio on: a memo
    // stopped before it has nothing in it.
    connect(r, &RegistratoreAudio::audioArrivato, this, [this, r] {
        if (r != audioRecorder_.get())
            return;
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
    });
    if (!r->registra()) {
        disconnect(r, nullptr, this, nullptr);
        audioRecorder_.reset();
        // A start that failed leaves no empty memo behind.
        QFile::remove(percorso);
        reportRecordingFailure(tr("Impossibile avviare la registrazione. Controlla il microfono."), false);
    }
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
    if (percorso.isEmpty() || !QFileInfo::exists(percorso))
        diagnostica(QStringLiteral("ERRORE: Il file non è stato trovato sul disco dopo lo stop."));
    loadRecordings();
}

void VoiceManager::registrazioneFinita(RegistratoreAudio* registratore, bool riuscito)
{
    const QString percorso = registratore->percorso();
    // A file without a single sound is no memo: nothing of it is worth keeping.
    const bool muto = LettoreMp4::senzaSuono(percorso);
    if (muto) {
        diagnostica(QStringLiteral("Registrazione senza suono, eliminata: ") + percorso);
        QFile::remove(percorso);
    }
    QString messaggio;
    if (!riuscito) {
        diagnostica(QStringLiteral("ERRORE REGISTRAZIONE: ") + registratore->motivo() + QStringLiteral(" (") + percorso
                    + QLatin1Char(')'));
        // What was written before the failure stays a memo.
        if (!registratore->avviata())
            messaggio = tr("Impossibile avviare la registrazione. Controlla il microfono.");
        else if (discoPieno(QFileInfo(percorso).absolutePath()))
            messaggio = tr("Il disco è pieno: la registrazione si è fermata qui.");
        else
            messaggio = tr("Registrazione non riuscita: %1").arg(registratore->motivo());
    } else if (!muto) {
        diagnostica(QStringLiteral("File salvato con successo in: ") + percorso);
    }
    if (registratore == audioRecorder_.get()) {
        audioRecorder_.reset();
        if (messaggio.isEmpty())
            QMetaObject::invokeMethod(
                this,
                [this] {
                    azzeraCronometro();
                    setIsRecording(false);
                },
                Qt::QueuedConnection);
        else
            reportRecordingFailure(messaggio, false);
    } else {
        // A late end of a recording already stopped: a newer one keeps its state.
        std::erase_if(inChiusura_, [registratore](const Registratore& r) { return r.get() == registratore; });
        if (!messaggio.isEmpty())
            QMetaObject::invokeMethod(this, [this, messaggio] { impostaErrore(messaggio); }, Qt::QueuedConnection);
    }
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
                impostaErrore(tr("Impossibile riprodurre il memo."));
                return;
            }
            audioPlayer_.reset(lettore.release());
            QPointer<LettoreAudio> questo(audioPlayer_.get());
            connect(questo, &LettoreAudio::finito, this, [this, questo](bool riuscito) {
                QMetaObject::invokeMethod(
                    this,
                    [this, questo, riuscito] {
                        // Only the player that finished is dropped; a newer one keeps playing.
                        if (questo && questo == audioPlayer_.get()) {
                            audioPlayer_.reset();
                            impostaPlayingURL({});
                            // A file that is no sound (or no longer one) says so, not nothing.
                            if (!riuscito)
                                impostaErrore(tr("Impossibile riprodurre il memo."));
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
