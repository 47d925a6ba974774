#include "EsecutorePlayer.h"

EsecutorePlayer::EsecutorePlayer(Clock& clock, QObject* parent, const QString& nome)
    : QObject(parent), clock_(clock), lavoratore_(new QObject)
{
    thread_.setObjectName(nome);
    lavoratore_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, lavoratore_, &QObject::deleteLater);
    thread_.start();
}

EsecutorePlayer::~EsecutorePlayer()
{
    attese_.clear();
    thread_.quit();
    thread_.wait();
}

void EsecutorePlayer::esegui(std::function<void()> lavoro)
{
    QMetaObject::invokeMethod(lavoratore_, std::move(lavoro));
}

void EsecutorePlayer::inoltra(std::function<void()> fatto)
{
    // The worker runs only while this object lives (its destructor waits
    // for it), so posting to it from a call is safe.
    QMetaObject::invokeMethod(this, std::move(fatto), Qt::QueuedConnection);
}
