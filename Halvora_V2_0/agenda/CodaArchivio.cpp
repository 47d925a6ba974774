#include "CodaArchivio.h"

#include <QObject>
#include <QThread>

CodaThread::CodaThread(const char* nome) : thread_(std::make_unique<QThread>()), contesto_(new QObject)
{
    thread_->setObjectName(QString::fromLatin1(nome));
    contesto_->moveToThread(thread_.get());
    thread_->start();
}

CodaThread::~CodaThread()
{
    // Quitting as a job of its own lets the jobs before it finish.
    QThread* t = thread_.get();
    QMetaObject::invokeMethod(contesto_, [t] { t->quit(); }, Qt::QueuedConnection);
    thread_->wait();
    delete contesto_;
}

void CodaThread::accoda(std::function<void()> lavoro)
{
    QMetaObject::invokeMethod(contesto_, std::move(lavoro), Qt::QueuedConnection);
}
