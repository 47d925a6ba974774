#include "BackendAudioQt.h"

#include <QAudioDevice>
#include <QAudioInput>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QMediaRecorder>
#include <QTimer>

namespace {

class RegistratoreQt final : public RegistratoreAudio {
public:
    explicit RegistratoreQt(QString percorso) : percorso_(std::move(percorso)) {}

    QString percorso() const override { return percorso_; }

    bool registra() override
    {
        if (recorder_ || !BackendAudioQt::ciSonoIngressiAudio())
            return false;
        ingresso_ = new QAudioInput(QMediaDevices::defaultAudioInput(), this);
        sessione_.setAudioInput(ingresso_);
        recorder_ = new QMediaRecorder(this);
        sessione_.setRecorder(recorder_);
        // The audio flavour of MPEG-4: same container, and Qt keeps the ".m4a"
        // name instead of appending ".mp4".
        QMediaFormat formato(QMediaFormat::Mpeg4Audio);
        formato.setAudioCodec(QMediaFormat::AudioCodec::AAC);
        recorder_->setMediaFormat(formato);
        recorder_->setAudioSampleRate(44100);
        recorder_->setAudioChannelCount(1);
        recorder_->setQuality(QMediaRecorder::HighQuality);
        recorder_->setEncodingMode(QMediaRecorder::ConstantQualityEncoding);
        recorder_->setOutputLocation(QUrl::fromLocalFile(percorso_));
        connect(recorder_, &QMediaRecorder::recorderStateChanged, this, [this](QMediaRecorder::RecorderState s) {
            if (s != QMediaRecorder::StoppedState)
                avviato_ = true;
            else if (avviato_)
                concludi(recorder_->error() == QMediaRecorder::NoError);
        });
        connect(recorder_, &QMediaRecorder::errorOccurred, this, [this] {
            if (recorder_->recorderState() == QMediaRecorder::StoppedState && avviato_)
                concludi(false);
        });
        recorder_->record();
        if (recorder_->error() != QMediaRecorder::NoError) {
            avviato_ = false;
            return false;
        }
        avviato_ = true;
        return true;
    }

    void ferma() override
    {
        if (recorder_ && recorder_->recorderState() != QMediaRecorder::StoppedState)
            recorder_->stop();
    }

    void fermaEAttendi(int millisecondi) override
    {
        if (!recorder_ || concluso_)
            return;
        QEventLoop attesa;
        connect(this, &RegistratoreAudio::finito, &attesa, &QEventLoop::quit);
        QTimer::singleShot(millisecondi, &attesa, &QEventLoop::quit);
        ferma();
        if (!concluso_)
            attesa.exec();
    }

    bool inRegistrazione() const override
    {
        return recorder_ && recorder_->recorderState() == QMediaRecorder::RecordingState;
    }

private:
    void concludi(bool riuscito)
    {
        if (concluso_)
            return;
        concluso_ = true;
        emit finito(riuscito);
    }

    QString percorso_;
    QMediaCaptureSession sessione_;
    QAudioInput* ingresso_ = nullptr;
    QMediaRecorder* recorder_ = nullptr;
    bool avviato_ = false;
    bool concluso_ = false;
};

class LettoreQt final : public LettoreAudio {
public:
    explicit LettoreQt(const QString& percorso)
    {
        uscita_ = new QAudioOutput(this);
        player_ = new QMediaPlayer(this);
        player_->setAudioOutput(uscita_);
        player_->setSource(QUrl::fromLocalFile(percorso));
        connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
            if (s == QMediaPlayer::EndOfMedia)
                concludi(true);
            else if (s == QMediaPlayer::InvalidMedia)
                concludi(false);
        });
        connect(player_, &QMediaPlayer::errorOccurred, this, [this] { concludi(false); });
    }

    void impostaVolume(float volume) override { uscita_->setVolume(volume); }
    void riproduci() override
    {
        inCorso_ = true;
        player_->play();
    }
    void ferma() override
    {
        inCorso_ = false;
        player_->stop();
    }
    bool inRiproduzione() const override { return inCorso_; }

private:
    void concludi(bool riuscito)
    {
        if (!inCorso_)
            return;
        inCorso_ = false;
        emit finito(riuscito);
    }

    QAudioOutput* uscita_ = nullptr;
    QMediaPlayer* player_ = nullptr;
    bool inCorso_ = false;
};

} // namespace

bool BackendAudioQt::ciSonoIngressiAudio() { return !QMediaDevices::audioInputs().isEmpty(); }

PermessoMicrofono BackendAudioQt::permessoMicrofono() const { return PermessoMicrofono::autorizzato; }

void BackendAudioQt::richiediPermessoMicrofono(std::function<void(bool)> risposta) { risposta(true); }

std::unique_ptr<RegistratoreAudio> BackendAudioQt::creaRegistratore(const QString& percorso, QString* errore)
{
    const QFileInfo cartella(QFileInfo(percorso).absolutePath());
    if (!cartella.isDir() || !cartella.isWritable()) {
        if (errore)
            *errore = QCoreApplication::translate("Halvora", "La cartella non è scrivibile: %1")
                          .arg(cartella.absoluteFilePath());
        return nullptr;
    }
    return std::make_unique<RegistratoreQt>(percorso);
}

std::unique_ptr<LettoreAudio> BackendAudioQt::creaLettore(const QString& percorso, QString* errore)
{
    const QFileInfo file(percorso);
    if (!file.isFile() || !file.isReadable() || file.size() == 0) {
        if (errore)
            *errore = QStringLiteral("file non leggibile: ") + percorso;
        return nullptr;
    }
    return std::make_unique<LettoreQt>(percorso);
}
