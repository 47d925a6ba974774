#pragma once

#include <functional>

class QVideoSink;

// Camera access as the system reports it.
enum class AutorizzazioneCamera { nonDeterminata, limitata, negata, autorizzata };

// What binding the default camera to the session gave.
enum class EsitoIngresso { aggiunto, nessunDispositivo, permessoNegato };

// The one camera capture session. Every call but construction and
// `preparaSulPrincipale` runs on the camera manager's session thread, in
// the order queued.
class SessioneCamera {
public:
    virtual ~SessioneCamera() = default;

    // On the GUI thread, before the first session work is queued: what the
    // backend must bring up there rather than on the session thread.
    virtual void preparaSulPrincipale() {}

    virtual AutorizzazioneCamera autorizzazione() = 0;
    // Asks for access; `risposta` may run on any thread.
    virtual void richiediAccesso(std::function<void(bool)> risposta) = 0;

    // Binds the default video device as the session's input.
    virtual EsitoIngresso aggiungiIngressoPredefinito() = 0;
    // Unbinds the camera and lets go of what the session holds.
    virtual void rimuoviIngressi() = 0;
    virtual int ingressi() const = 0;

    virtual void avvia() = 0;
    virtual void ferma() = 0;
    virtual bool inEsecuzione() const = 0;

    // Where the live picture goes (null: nowhere); the sink outlives the session.
    virtual void impostaUscitaVideo(QVideoSink* uscita) { (void)uscita; }
};
