#include "CameraManager.h"

#include <QPointer>
#include <QVideoFrame>
#include <QVideoSink>

CameraManager::CameraManager(std::unique_ptr<SessioneCamera> sessione, QObject* parent)
    : QObject(parent), sessione_(std::move(sessione))
{
    thread_.setObjectName(QStringLiteral("Halvora.camera.session"));
    coda_ = new QObject;
    coda_->moveToThread(&thread_);
    thread_.start();
}

CameraManager::~CameraManager()
{
    // The session is stopped, emptied and released on its own thread, and we wait for it.
    auto chiudi = [this] {
        if (sessione_) {
            if (sessione_->inEsecuzione())
                sessione_->ferma();
            sessione_->rimuoviIngressi();
            sessione_.reset();
        }
    };
    if (QThread::currentThread() == &thread_)
        chiudi();
    else
        QMetaObject::invokeMethod(coda_, chiudi, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete coda_;
}

void CameraManager::inCoda(std::function<void(CameraManager&)> blocco)
{
    QPointer<CameraManager> io(this);
    QMetaObject::invokeMethod(
        coda_,
        [io, blocco = std::move(blocco)] {
            if (io && io->sessione_)
                blocco(*io);
        },
        Qt::QueuedConnection);
}

void CameraManager::sulPrincipale(std::function<void(CameraManager&)> blocco)
{
    // Dropped with the manager if it is gone before the block runs.
    QMetaObject::invokeMethod(
        this, [this, blocco = std::move(blocco)] { blocco(*this); }, Qt::QueuedConnection);
}

void CameraManager::attendiCodaSessione()
{
    if (QThread::currentThread() != &thread_)
        QMetaObject::invokeMethod(coda_, [] {}, Qt::BlockingQueuedConnection);
}

void CameraManager::prepara()
{
    // Once, before the first block is queued.
    if (!preparata_ && sessione_) {
        preparata_ = true;
        sessione_->preparaSulPrincipale();
    }
}

QVideoSink* CameraManager::anteprima()
{
    if (!anteprima_) {
        prepara();
        // A child of ours: it goes only after the session is released in our destructor.
        anteprima_ = new QVideoSink(this);
        inCoda([uscita = anteprima_](CameraManager& m) { m.sessione_->impostaUscitaVideo(uscita); });
    }
    return anteprima_;
}

void CameraManager::avviaSessione()
{
    prepara();
    inCoda([](CameraManager& m) {
        if (m.sessione_->inEsecuzione() && m.sessione_->ingressi() > 0)
            m.pubblicaStato();
        else
            m.autorizzaEConfigura();
    });
}

void CameraManager::fermaSessione()
{
    inCoda([](CameraManager& m) {
        if (m.sessione_->inEsecuzione())
            m.sessione_->ferma();
        m.sessione_->rimuoviIngressi();
        m.pubblicaStato();
        // The last picture is not kept while nothing shows it.
        m.sulPrincipale([](CameraManager& m) {
            if (m.anteprima_ && m.anteprima_->videoFrame().isValid())
                m.anteprima_->setVideoFrame({});
        });
    });
}

void CameraManager::autorizzaEConfigura()
{
    switch (sessione_->autorizzazione()) {
    case AutorizzazioneCamera::limitata:
    case AutorizzazioneCamera::negata:
        sulPrincipale([](CameraManager& m) {
            m.impostaPermessoNegato(true);
            m.impostaInEsecuzione(false);
        });
        break;
    case AutorizzazioneCamera::nonDeterminata: {
        QPointer<CameraManager> io(this);
        QPointer<QObject> coda(coda_);
        sessione_->richiediAccesso([io, coda](bool concesso) {
            // The answer may come on any thread; the session work goes back to its queue.
            if (!coda)
                return;
            QMetaObject::invokeMethod(
                coda.data(),
                [io, concesso] {
                    if (!io || !io->sessione_)
                        return;
                    if (concesso) {
                        io->sulPrincipale([](CameraManager& m) { m.impostaPermessoNegato(false); });
                        io->configura();
                    } else {
                        io->sulPrincipale([](CameraManager& m) {
                            m.impostaPermessoNegato(true);
                            m.impostaInEsecuzione(false);
                        });
                    }
                },
                Qt::QueuedConnection);
        });
        break;
    }
    case AutorizzazioneCamera::autorizzata:
        configura();
        break;
    }
}

void CameraManager::configura()
{
    sessione_->rimuoviIngressi();
    switch (sessione_->aggiungiIngressoPredefinito()) {
    case EsitoIngresso::nessunDispositivo:
        sulPrincipale([](CameraManager& m) { m.impostaNessunaCamera(true); });
        break;
    case EsitoIngresso::permessoNegato:
        // The device exists but refuses us: the same as a denied access.
        sulPrincipale([](CameraManager& m) { m.impostaPermessoNegato(true); });
        break;
    case EsitoIngresso::aggiunto:
        sulPrincipale([](CameraManager& m) { m.impostaNessunaCamera(false); });
        if (!sessione_->inEsecuzione())
            sessione_->avvia();
        break;
    }
    pubblicaStato();
}

void CameraManager::pubblicaStato()
{
    // Read here, on the session thread, so the session is never touched from the GUI thread.
    const bool inEsecuzione = sessione_->inEsecuzione() && sessione_->ingressi() > 0;
    sulPrincipale([inEsecuzione](CameraManager& m) {
        if (m.isSessionRunning_ != inEsecuzione)
            m.impostaInEsecuzione(inEsecuzione);
    });
}

void CameraManager::impostaInEsecuzione(bool valore)
{
    isSessionRunning_ = valore;
    emit isSessionRunningChanged();
}

void CameraManager::impostaPermessoNegato(bool valore)
{
    permissionDenied_ = valore;
    emit permissionDeniedChanged();
}

void CameraManager::impostaNessunaCamera(bool valore)
{
    nessunaCamera_ = valore;
    emit nessunaCameraChanged();
}
