#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Microphone access as the desktop reports it.
enum class PermessoMicrofono { nonDeterminato, autorizzato, negato };

// One recording into one file. Lives on the GUI thread.
class RegistratoreAudio : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The file being written.
    virtual QString percorso() const = 0;
    // Starts the recording; false when it could not start. The file fills
    // once the microphone sends its first audio (`audioArrivato`), maybe a
    // moment later; a microphone that never does ends the recording with
    // `finito(false)`.
    virtual bool registra() = 0;
    // Asks the recording to end; the file is complete once `finito` arrives.
    virtual void ferma() = 0;
    // Ends the recording and waits (at most `millisecondi`) until the file
    // is complete; used when the application quits.
    virtual void fermaEAttendi(int millisecondi) = 0;
    virtual bool inRegistrazione() const = 0;
    // Whether the microphone's audio reached the file.
    virtual bool avviata() const = 0;
    // Why the recording failed, in the platform's words; empty when it did not.
    virtual QString motivo() const = 0;

signals:
    // The microphone's first audio reached the recording: from now on it is
    // written. Once at most; never for a recording stopped before it.
    void audioArrivato();
    // The recording ended, by a stop or by a failure, and the file is closed.
    void finito(bool riuscito);
};

// Playback of one file. Lives on the GUI thread.
class LettoreAudio : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void impostaVolume(float volume) = 0;
    virtual void riproduci() = 0;
    virtual void ferma() = 0;
    virtual bool inRiproduzione() const = 0;

signals:
    // Playback reached the end, or failed after it had started.
    void finito(bool riuscito);
};

// Where recorders and players come from: the QtMultimedia backend in the
// application, a fake in tests.
class BackendAudio {
public:
    virtual ~BackendAudio() = default;

    virtual PermessoMicrofono permessoMicrofono() const = 0;
    // Asks for access; `risposta` may run on any thread.
    virtual void richiediPermessoMicrofono(std::function<void(bool)> risposta) = 0;

    // A recorder for a new AAC file (44100 Hz, mono, high quality) at
    // `percorso`; nothing and a description in `errore` when it cannot be made.
    virtual std::unique_ptr<RegistratoreAudio> creaRegistratore(const QString& percorso, QString* errore) = 0;
    // A player of the file; nothing and a description when it cannot be opened.
    virtual std::unique_ptr<LettoreAudio> creaLettore(const QString& percorso, QString* errore) = 0;
};
