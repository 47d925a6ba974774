#include "SessioneCameraQt.h"

#include <QCamera>
#include <QCameraDevice>
#include <QFileInfo>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoSink>
#include <unistd.h>

void SessioneCameraQt::preparaSulPrincipale()
{
    // The multimedia backend comes up on the GUI thread, at the first use
    // of the camera rather than at start.
    QMediaDevices::videoInputs();
}

SessioneCameraQt::SessioneCameraQt() = default;

SessioneCameraQt::~SessioneCameraQt() { rimuoviIngressi(); }

bool SessioneCameraQt::nodoAccessibile(const QString& id)
{
    if (!id.startsWith(QLatin1Char('/')) || !QFileInfo::exists(id))
        return true;
    return ::access(QFile::encodeName(id).constData(), R_OK | W_OK) == 0;
}

EsitoIngresso SessioneCameraQt::aggiungiIngressoPredefinito()
{
    const QCameraDevice dispositivo = QMediaDevices::defaultVideoInput();
    if (dispositivo.isNull())
        return EsitoIngresso::nessunDispositivo;
    if (!nodoAccessibile(QString::fromUtf8(dispositivo.id())))
        return EsitoIngresso::permessoNegato;
    rimuoviIngressi();
    sessione_ = std::make_unique<QMediaCaptureSession>();
    sessione_->setVideoSink(uscita_);
    camera_ = new QCamera(dispositivo);
    sessione_->setCamera(camera_);
    return EsitoIngresso::aggiunto;
}

void SessioneCameraQt::rimuoviIngressi()
{
    if (camera_ && sessione_)
        sessione_->setCamera(nullptr);
    delete camera_;
    camera_ = nullptr;
    // The capture pipeline goes too; the next start builds a new one.
    sessione_.reset();
}

int SessioneCameraQt::ingressi() const { return camera_ ? 1 : 0; }

void SessioneCameraQt::avvia()
{
    if (camera_)
        camera_->start();
}

void SessioneCameraQt::ferma()
{
    if (camera_)
        camera_->stop();
}

void SessioneCameraQt::impostaUscitaVideo(QVideoSink* uscita)
{
    uscita_ = uscita;
    if (sessione_)
        sessione_->setVideoSink(uscita_);
}

bool SessioneCameraQt::inEsecuzione() const { return camera_ && camera_->isActive(); }
