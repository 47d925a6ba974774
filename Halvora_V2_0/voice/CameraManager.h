#pragma once

#include "SessioneCamera.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

class QVideoSink;

// Owns the camera session: asks for access, binds the default camera,
// starts and stops it on a thread of its own, and publishes three flags
// on the GUI thread.
class CameraManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isSessionRunning READ isSessionRunning NOTIFY isSessionRunningChanged)
    Q_PROPERTY(bool permissionDenied READ permissionDenied NOTIFY permissionDeniedChanged)
    Q_PROPERTY(bool nessunaCamera READ nessunaCamera NOTIFY nessunaCameraChanged)

public:
    explicit CameraManager(std::unique_ptr<SessioneCamera> sessione, QObject* parent = nullptr);
    // Stops and empties the session, waiting for it.
    ~CameraManager() override;

    bool isSessionRunning() const { return isSessionRunning_; }
    bool permissionDenied() const { return permissionDenied_; }
    bool nessunaCamera() const { return nessunaCamera_; }

    // Both return at once; the work runs on the session thread in call order.
    void avviaSessione();
    void fermaSessione();

    // The live picture of the running session, for the mirror; frames come
    // from the capture pipeline's thread. Made on first use, lives with us.
    QVideoSink* anteprima();

    // Waits until every block queued so far on the session thread has run.
    void attendiCodaSessione();

signals:
    void isSessionRunningChanged();
    void permissionDeniedChanged();
    void nessunaCameraChanged();

private:
    void inCoda(std::function<void(CameraManager&)> blocco);
    void sulPrincipale(std::function<void(CameraManager&)> blocco);
    void prepara();
    void autorizzaEConfigura();
    void configura();
    void pubblicaStato();

    void impostaInEsecuzione(bool valore);
    void impostaPermessoNegato(bool valore);
    void impostaNessunaCamera(bool valore);

    std::unique_ptr<SessioneCamera> sessione_; // used on the session thread only
    QThread thread_;
    QObject* coda_ = nullptr; // lives on thread_; receives the queued blocks
    QVideoSink* anteprima_ = nullptr;
    bool preparata_ = false;

    bool isSessionRunning_ = false;
    bool permissionDenied_ = false;
    bool nessunaCamera_ = false;
};
