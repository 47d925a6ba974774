#pragma once

#include "BackendAudio.h"
#include "Clock.h"
#include "TrascrittoreAudio.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class UserDefaults;

// Dictation of a short text: records the microphone into a temporary file,
// at most 30 s, and hands the file to a speech transcriber. Lives on the GUI
// thread; published values change there only.
class DettaturaVocale : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool inCorso READ inCorso NOTIFY inCorsoChanged)
    Q_PROPERTY(bool inElaborazione READ inElaborazione NOTIFY inElaborazioneChanged)
    Q_PROPERTY(std::optional<QString> errore READ errore NOTIFY erroreChanged)

public:
    using Esito = TrascrittoreAudio::Esito;
    // Transcribes the file at `percorso` (`soloSulDispositivo`: never leave
    // this machine); `fatto` may be called on any thread, once.
    using Trascrittore = TrascrittoreAudio::Funzione;
    // The caller of a stop learns the recognised text, or nothing.
    using Risposta = std::function<void(std::optional<QString>)>;

    // Without a recogniser: every transcription answers `nonDisponibile`.
    static Trascrittore nessunTrascrittore();

    DettaturaVocale(BackendAudio& audio, Clock& clock, UserDefaults& impostazioni,
                    Trascrittore trascrivi = nessunTrascrittore(), QObject* parent = nullptr);
    ~DettaturaVocale() override;

    bool inCorso() const { return inCorso_; }
    bool inElaborazione() const { return inElaborazione_; }
    const std::optional<QString>& errore() const { return errore_; }
    // The temporary recording, empty when there is none.
    QString file() const { return file_; }

    // Starts a dictation; nothing while one records or is transcribed. The
    // microphone question may be answered later: the recording starts then.
    void avvia();
    // Stops the recording and transcribes it; `fatto` receives the text, or
    // nothing when no recording runs or the transcription failed (the reason
    // is then in `errore`). The temporary file is deleted in every case.
    void fermaETrascrivi(Risposta fatto = {});

    static constexpr double kLimiteSecondi = 30.0;
    // How long a stopped recording may take to close its file before it is
    // transcribed anyway.
    static constexpr double kAttesaChiusura = 3.0;

signals:
    void inCorsoChanged();
    void inElaborazioneChanged();
    void erroreChanged();

private:
    struct DeleteLater {
        void operator()(QObject* o) const { o->deleteLater(); }
    };

    void registra();
    void registrazioneChiusa();
    void trascrivi();
    void concludi(const Esito& esito);
    void impostaInCorso(bool v);
    void impostaInElaborazione(bool v);
    void impostaErrore(std::optional<QString> v);

    BackendAudio& audio_;
    Clock& clock_;
    UserDefaults& impostazioni_;
    Trascrittore trascrittore_;

    bool inCorso_ = false;
    bool inElaborazione_ = false;
    std::optional<QString> errore_;

    std::unique_ptr<RegistratoreAudio, DeleteLater> registratore_;
    QString file_;
    TimerHandle limite_;
    TimerHandle attesaChiusura_;
    bool attesaPermesso_ = false;
    bool chiuso_ = false;          // the recorder has closed its file
    bool trascrizioneAvviata_ = false;
    Risposta risposta_;
};
