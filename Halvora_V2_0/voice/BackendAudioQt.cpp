#include "BackendAudioQt.h"

#include "RegistrazioneGst.h"
#include "Testi.h"

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
#include <QPointer>
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
        recorder_ = new QMediaRecorder(this);
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
            if (s == QMediaRecorder::StoppedState)
                concludi(recorder_->error() == QMediaRecorder::NoError);
        });
        connect(recorder_, &QMediaRecorder::errorOccurred, this, [this] {
            motivo_ = recorder_->errorString();
            if (recorder_->recorderState() == QMediaRecorder::StoppedState)
                concludi(false);
        });

        // The recording is linked to the microphone once its audio flows.
        QPointer<RegistratoreQt> io(this);
        const bool attende = gst_.aggiungiMicrofono([this] { sessione_.setAudioInput(ingresso_); }, [io] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [io] {
                    if (io && !io->avvia())
                        io->concludi(false);
                },
                Qt::QueuedConnection);
        });
        sessione_.setRecorder(recorder_);
        if (!attende)
            return avvia();
        attesaMicrofono_.setSingleShot(true);
        connect(&attesaMicrofono_, &QTimer::timeout, this, [this] {
            motivo_ = Testi::tr("nessun suono dal microfono");
            concludi(false);
        });
        attesaMicrofono_.start(kAttesaMicrofonoMs);
        return true;
    }

    void ferma() override
    {
        fermato_ = true;
        if (!avviata_) {
            // Nothing recorded yet: the file stays empty. Told later, as a recording's end is.
            QTimer::singleShot(0, this, [this] { concludi(true); });
            return;
        }
        if (recorder_->recorderState() != QMediaRecorder::StoppedState)
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
        return !concluso_ && !fermato_ && recorder_ != nullptr;
    }
    bool avviata() const override { return avviata_; }
    QString motivo() const override { return motivo_; }

private:
    // How long the microphone may take to send its first audio.
    static constexpr int kAttesaMicrofonoMs = 5000;

    // Links the recording to the microphone; false when it refuses.
    bool avvia()
    {
        if (avviata_ || concluso_ || fermato_)
            return true;
        attesaMicrofono_.stop();
        avviata_ = true;
        gst_.avviaRegistrazione([this] { recorder_->record(); });
        if (recorder_->error() != QMediaRecorder::NoError) {
            motivo_ = recorder_->errorString();
            return false;
        }
        emit audioArrivato();
        return true;
    }

    void concludi(bool riuscito)
    {
        if (concluso_)
            return;
        concluso_ = true;
        attesaMicrofono_.stop();
        emit finito(riuscito);
    }

    QString percorso_;
    RegistrazioneGst gst_; // outlives the session, whose elements it holds
    QMediaCaptureSession sessione_;
    QAudioInput* ingresso_ = nullptr;
    QMediaRecorder* recorder_ = nullptr;
    QTimer attesaMicrofono_;
    QString motivo_;
    bool avviata_ = false;  // record() was called: the microphone's audio flows
    bool fermato_ = false;
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
