#include "EsecutorePlayer.h"

EsecutorePlayer::EsecutorePlayer(Clock& clock, QObject* parent) : QObject(parent), clock_(clock), lavoratore_(new QObject)
{
    thread_.setObjectName(QStringLiteral("Halvora.MediaManager.appleScriptQueue"));
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
