#pragma once

#include "BackendAudio.h"
#include "Clock.h"
#include "TrascrittoreAudio.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>
#include <vector>

// The voice-memo model: the memo folder, its listing and names, recording,
// playback and transcripts. Published values change on the GUI thread only.
class VoiceManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording WRITE setIsRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(QList<QUrl> recordings READ recordings NOTIFY recordingsChanged)
    Q_PROPERTY(QUrl playingURL READ playingURL NOTIFY playingURLChanged)
    Q_PROPERTY(double recordingDuration READ recordingDuration NOTIFY recordingDurationChanged)
    Q_PROPERTY(bool permissionDenied READ permissionDenied NOTIFY permissionDeniedChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(QHash<QUrl, QString> trascrizioni READ trascrizioni NOTIFY trascrizioniChanged)
    Q_PROPERTY(QUrl trascrizioneInCorso READ trascrizioneInCorso WRITE setTrascrizioneInCorso NOTIFY
                   trascrizioneInCorsoChanged)

public:
    // `cartellaDocumenti` is the application's own Documents folder; the
    // memos live in its "VoiceMemos" subfolder.
    VoiceManager(BackendAudio& audio, Clock& clock, const QString& cartellaDocumenti = documentiPredefiniti(),
                 QObject* parent = nullptr);
    ~VoiceManager() override;

    // AppDataLocation + "/Documents"; the temporary folder when there is none.
    static QString documentiPredefiniti();

    bool isRecording() const { return isRecording_; }
    // Only the published value: starts or stops nothing.
    void setIsRecording(bool valore);
    QList<QUrl> recordings() const { return recordings_; }
    QUrl playingURL() const { return playingURL_; } // empty: nothing plays
    double recordingDuration() const { return recordingDuration_; }
    bool permissionDenied() const { return permissionDenied_; }
    QString errorMessage() const { return errorMessage_; } // empty: no error
    QHash<QUrl, QString> trascrizioni() const { return trascrizioni_; }
    QUrl trascrizioneInCorso() const { return trascrizioneInCorso_; }
    void setTrascrizioneInCorso(const QUrl& url);

    QString documentsDirectory() const { return documenti_; }
    // Documents/VoiceMemos, created on every call (a failure is ignored).
    QString memosFolder() const;
    QString defaultMemoName() const;
    // The transcript of a memo, empty when it has none; of a longer one, its first part.
    QString transcriptFor(const QUrl& url) const { return trascrizioni_.value(url); }
    // How much of a transcript file is read: far more than hours of speech
    // give, and little enough to hold for every memo.
    static constexpr qint64 kLimiteTrascrizione = 256 * 1024;

    // Re-reads the folder on a worker; publishes the memos newest first and
    // their transcripts. A file without sound is no memo and is not listed.
    void loadRecordings();
    void renameMemo(const QUrl& url, const QString& newName);
    // Deletes a memo and its transcript, on the next turn of the event loop.
    void deleteMemo(const QUrl& url);

    // Asks for the microphone ahead of the first recording, when never asked;
    // the answer is used by the next recording.
    void chiediAccessoMicrofono();
    // The record button: asks for the microphone when needed, then records.
    void requestMicrophoneAndRecord();
    void startRecording();
    // Safe when nothing records.
    void stopRecording();
    // Play/stop toggle, on the next turn of the event loop.
    void playMemo(const QUrl& url);

    // Ends every recording and waits until its file is complete (quit).
    void concludiRegistrazioni();
    // Whether the memo's file is still being written by a recording.
    bool inScrittura(const QUrl& url) const;

    // Who recognises speech; without one every transcription is unavailable.
    void setTrascrittore(TrascrittoreAudio::Funzione trascrittore) { trascrittore_ = std::move(trascrittore); }
    // Transcribes a memo, one at a time: the text goes beside it as name.txt
    // and a memo with its default name takes the transcript's first words.
    void transcribe(const QUrl& url);
    // The memo whose name the user is typing (empty: none); its name is left
    // to the user.
    void setMemoInRinomina(const QUrl& url) { memoInRinomina_ = url; }

signals:
    void isRecordingChanged();
    void recordingsChanged();
    void playingURLChanged();
    void recordingDurationChanged();
    void permissionDeniedChanged();
    void errorMessageChanged();
    void trascrizioniChanged();
    void trascrizioneInCorsoChanged();
    // Any of the above.
    void cambiato();

private:
    struct DeleteLater {
        void operator()(QObject* o) const { o->deleteLater(); }
    };
    using Registratore = std::unique_ptr<RegistratoreAudio, DeleteLater>;
    using Lettore = std::unique_ptr<LettoreAudio, DeleteLater>;

    void migrateLooseMemos();
    void elenca(bool pulisci);
    void reportRecordingFailure(const QString& messaggio, bool negato);
    void registrazioneFinita(RegistratoreAudio* registratore, bool riuscito);
    void fermaLettore();
    void trascrizioneFinita(const TrascrittoreAudio::Esito& esito);
    void applyTranscriptTitle(const QUrl& url, const QString& testo);
    void azzeraCronometro();
    void pubblica(void (VoiceManager::*segnale)());

    void impostaRecordings(QList<QUrl> valore);
    void impostaPlayingURL(const QUrl& valore);
    void impostaDurata(double valore);
    void impostaPermissionDenied(bool valore);
    void impostaErrore(const QString& valore);
    void impostaTrascrizioni(QHash<QUrl, QString> valore);

    BackendAudio& audio_;
    Clock& clock_;
    QString documenti_;

    bool isRecording_ = false;
    QList<QUrl> recordings_;
    QUrl playingURL_;
    double recordingDuration_ = 0;
    bool permissionDenied_ = false;
    QString errorMessage_;
    QHash<QUrl, QString> trascrizioni_;
    QUrl trascrizioneInCorso_;

    Registratore audioRecorder_;
    // Stopped recorders kept until their file is closed.
    std::vector<Registratore> inChiusura_;
    Lettore audioPlayer_;
    TimerHandle timer_;

    TrascrittoreAudio::Funzione trascrittore_ = TrascrittoreAudio::nessuno();
    bool trascrizioneScartata_ = false; // its memo was deleted while it ran
    QUrl memoInRinomina_;
    quint64 elenchiChiesti_ = 0, elencoMostrato_ = 0;
};
