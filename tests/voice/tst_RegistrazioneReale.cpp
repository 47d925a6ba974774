// Memos recorded through QtMultimedia from a real sound server's
// microphone (scripts/con-suono.sh: a steady tone), then decoded as a
// player would decode them.
#include "BackendAudioQt.h"
#include "Clock.h"
#include "VoiceManager.h"

#include <QAudioDecoder>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// What a player gets out of a file: seconds of audio and their loudest sample.
struct Ascolto {
    double secondi = 0;
    float picco = 0;
    QString errore;
};

Ascolto ascolta(const QString& percorso)
{
    Ascolto a;
    QAudioDecoder decoder;
    QAudioFormat formato;
    formato.setSampleRate(16000);
    formato.setChannelCount(1);
    formato.setSampleFormat(QAudioFormat::Float);
    decoder.setAudioFormat(formato);
    decoder.setSource(QUrl::fromLocalFile(percorso));
    QEventLoop attesa;
    qint64 campioni = 0;
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, &attesa, [&] {
        const QAudioBuffer b = decoder.read();
        const float* s = b.constData<float>();
        for (qsizetype i = 0; i < b.sampleCount(); ++i)
            a.picco = std::max(a.picco, std::abs(s[i]));
        campioni += b.sampleCount();
    });
    QObject::connect(&decoder, &QAudioDecoder::finished, &attesa, &QEventLoop::quit);
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &attesa, [&] {
        a.errore = decoder.errorString();
        attesa.quit();
    });
    QTimer::singleShot(20000, &attesa, [&] {
        a.errore = QStringLiteral("decoding took too long");
        attesa.quit();
    });
    decoder.start();
    attesa.exec();
    a.secondi = double(campioni) / formato.sampleRate();
    return a;
}

} // namespace

class TestRegistrazioneReale : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(BackendAudioQt::ciSonoIngressiAudio(), "no microphone: run under scripts/con-suono.sh");
    }

    void thirtyMemosInARowAllHaveSoundAndTheirOwnName()
    {
        QTemporaryDir dir;
        BackendAudioQt audio;
        VoiceManager m(audio, Clock::system(), dir.path());
        QStringList registrati;
        for (int i = 0; i < 30; ++i) {
            m.requestMicrophoneAndRecord();
            QTRY_VERIFY_WITH_TIMEOUT(m.isRecording() || !m.errorMessage().isEmpty(), 10000);
            QVERIFY2(m.errorMessage().isEmpty(), qPrintable(m.errorMessage()));
            QTest::qWait(700);
            m.stopRecording();
            QTRY_VERIFY(!m.isRecording());
        }
        QTRY_COMPARE_WITH_TIMEOUT(m.recordings().size(), 30, 20000);
        const QStringList file = QDir(m.memosFolder()).entryList({QStringLiteral("*.m4a")}, QDir::Files);
        QCOMPARE(file.size(), 30);
        int senzaSuono = 0;
        for (const QUrl& u : m.recordings()) {
            const Ascolto a = ascolta(u.toLocalFile());
            qInfo("%s: %lld bytes, %.2f s, peak %.2f %s", qPrintable(u.fileName()), QFileInfo(u.toLocalFile()).size(),
                  a.secondi, a.picco, qPrintable(a.errore));
            if (a.secondi < 0.3 || a.picco < 0.05)
                ++senzaSuono;
        }
        QCOMPARE(senzaSuono, 0);
    }
};

QTEST_MAIN(TestRegistrazioneReale)
#include "tst_RegistrazioneReale.moc"
