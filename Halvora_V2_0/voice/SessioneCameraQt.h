#pragma once

#include "SessioneCamera.h"

#include <QString>
#include <memory>

class QCamera;
class QMediaCaptureSession;

// The camera session through QtMultimedia: QCamera on the default video
// input. The desktop has no camera permission of its own; a device node we
// may not open counts as denied access.
class SessioneCameraQt final : public SessioneCamera {
public:
    SessioneCameraQt();
    ~SessioneCameraQt() override;

    void preparaSulPrincipale() override;

    AutorizzazioneCamera autorizzazione() override { return AutorizzazioneCamera::autorizzata; }
    void richiediAccesso(std::function<void(bool)> risposta) override { risposta(true); }
    EsitoIngresso aggiungiIngressoPredefinito() override;
    void rimuoviIngressi() override;
    int ingressi() const override;
    void avvia() override;
    void ferma() override;
    bool inEsecuzione() const override;
    void impostaUscitaVideo(QVideoSink* uscita) override;

    // Whether a device node can be opened for capture; a node we may not
    // read or write is a refusal (an id that is no path is not judged).
    static bool nodoAccessibile(const QString& id);

private:
    std::unique_ptr<QMediaCaptureSession> sessione_;
    QCamera* camera_ = nullptr;
    QVideoSink* uscita_ = nullptr;
};
