// Memos recorded through QtMultimedia from a real sound server's
// microphone (scripts/con-suono.sh: a steady tone), then decoded as a
// player decodes them: in a row, killed while recording, and on a disk
// that fills (a small tmpfs of this process's own).
#include "BackendAudioQt.h"
#include "Clock.h"
#include "LettoreMp4.h"
#include "VoiceManager.h"

#include <QAudioDecoder>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <ctime>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A 1 MiB tmpfs seen by this process alone; empty when none could be mounted.
QString discoPiccolo;

// Made before any thread exists: a thread keeps the mount namespace it started in.
QString montaDiscoPiccolo()
{
    char cartella[] = "/tmp/halvora-disco-XXXXXX";
    if (!mkdtemp(cartella))
        return {};
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("tmpfs", cartella, "tmpfs", 0, "size=1m,mode=0700") != 0) {
        rmdir(cartella);
        return {};
    }
    return QString::fromLocal8Bit(cartella);
}

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

// Now on the monotonic clock, in milliseconds, as registratore_prova tells it.
qint64 msMonotoni()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

QStringList memoIn(const QString& cartella)
{
    QStringList file;
    for (const QFileInfo& f : QDir(cartella).entryInfoList({QStringLiteral("*.m4a")}, QDir::Files))
        file << f.absoluteFilePath();
    return file;
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
        for (int i = 0; i < 30; ++i) {
            m.requestMicrophoneAndRecord();
            QTRY_VERIFY_WITH_TIMEOUT(m.isRecording() || !m.errorMessage().isEmpty(), 10000);
            QVERIFY2(m.errorMessage().isEmpty(), qPrintable(m.errorMessage()));
            QTest::qWait(600);
            m.stopRecording(); // and the next one at once
            QTRY_VERIFY(!m.isRecording());
        }
        QTRY_COMPARE_WITH_TIMEOUT(m.recordings().size(), 30, 20000);
        QVERIFY2(m.errorMessage().isEmpty(), qPrintable(m.errorMessage()));
        QCOMPARE(memoIn(m.memosFolder()).size(), 30);
        for (const QUrl& u : m.recordings()) {
            const Ascolto a = ascolta(u.toLocalFile());
            QVERIFY2(a.errore.isEmpty() && a.secondi > 0.3 && a.picco > 0.1,
                     qPrintable(QStringLiteral("%1: %2 s, peak %3 %4")
                                    .arg(u.fileName())
                                    .arg(a.secondi)
                                    .arg(a.picco)
                                    .arg(a.errore)));
        }
    }

    void aRecordingKilledAnyMomentLeavesAPlayableMemoOrNone()
    {
        QTemporaryDir dir;
        const QString cartella = dir.filePath(QStringLiteral("VoiceMemos"));
        const quint32 seme = QRandomGenerator::global()->generate();
        qInfo("seed %u", seme);
        QRandomGenerator caso(seme);
        QStringList conSuono;
        for (int i = 0; i < 10; ++i) {
            const QStringList prima = memoIn(cartella);
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start(QStringLiteral(REGISTRATORE), {dir.path()});
            QVERIFY(p.waitForStarted());
            // Its diagnostics share the output: the start is the line that says so.
            QByteArray riga;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    while (riga.isEmpty() && p.canReadLine())
                        if (const QByteArray l = p.readLine(); l.startsWith("registra "))
                            riga = l;
                    return !riga.isEmpty() || p.state() != QProcess::Running;
                },
                15000));
            QVERIFY2(!riga.isEmpty() && p.state() == QProcess::Running, "the recorder ended before it recorded");
            // What was recorded when the kill came, from the recorder's own
            // start: a loaded machine may hand its line over late.
            const qint64 inizio = riga.mid(9).trimmed().toLongLong();
            QTest::qWait(int(caso.bounded(200, 2500)));
            ::kill(pid_t(p.processId()), SIGKILL);
            const double registrati = (msMonotoni() - inizio) / 1000.0;
            QVERIFY(p.waitForFinished());

            QStringList nuovi = memoIn(cartella);
            for (const QString& f : prima)
                nuovi.removeAll(f);
            QCOMPARE(nuovi.size(), 1);
            const QString file = nuovi.first();
            const QString quando = QStringLiteral("killed after %1 s").arg(registrati);
            if (LettoreMp4::senzaSuono(file)) {
                // Only a kill before the first second is whole leaves no sound.
                QVERIFY2(registrati < 1.6, qPrintable(quando));
                continue;
            }
            // Everything up to about the last second plays.
            const Ascolto a = ascolta(file);
            QVERIFY2(a.errore.isEmpty() && a.picco > 0.1, qPrintable(quando + QLatin1Char(' ') + a.errore));
            QVERIFY2(a.secondi >= registrati - 1.6 && a.secondi <= registrati + 0.2,
                     qPrintable(quando + QStringLiteral(", %1 s play").arg(a.secondi)));
            conSuono << QUrl::fromLocalFile(file).toString();
        }
        // The next start lists those, and only those.
        BackendAudioQt audio;
        VoiceManager m(audio, Clock::system(), dir.path());
        QTRY_COMPARE(m.recordings().size(), conSuono.size());
        for (const QUrl& u : m.recordings())
            QVERIFY(conSuono.contains(u.toString()));
    }

    void aFullDiskStopsTheRecordingWithAMessage()
    {
        if (discoPiccolo.isEmpty())
            QSKIP("no file system of our own to fill: mounting a tmpfs needs root");
        const QString documenti = discoPiccolo + QStringLiteral("/Documents");
        QVERIFY(QDir().mkpath(documenti + QStringLiteral("/VoiceMemos")));
        // Room for a few seconds of audio.
        QFile zavorra(discoPiccolo + QStringLiteral("/zavorra"));
        QVERIFY(zavorra.open(QIODevice::WriteOnly));
        QVERIFY(zavorra.write(QByteArray(QStorageInfo(discoPiccolo).bytesAvailable() - 80 * 1024, 'z')) > 0);
        zavorra.close();

        BackendAudioQt audio;
        VoiceManager m(audio, Clock::system(), documenti);
        m.requestMicrophoneAndRecord();
        QTRY_VERIFY2(m.isRecording(), qPrintable(m.errorMessage()));
        // It stops by itself when the disk fills, and says so.
        QTRY_VERIFY_WITH_TIMEOUT(!m.isRecording(), 20000);
        QCOMPARE(m.errorMessage(), QStringLiteral("Il disco è pieno: la registrazione si è fermata qui."));
        // What was recorded up to there is a memo.
        QTRY_COMPARE(m.recordings().size(), 1);
        const Ascolto a = ascolta(m.recordings().first().toLocalFile());
        QVERIFY2(a.errore.isEmpty() && a.secondi > 2 && a.picco > 0.1, qPrintable(a.errore));

        // On the full disk no recording starts, and no empty file is left.
        m.requestMicrophoneAndRecord();
        QTRY_COMPARE(m.errorMessage(), QStringLiteral("Il disco è pieno: impossibile registrare."));
        QVERIFY(!m.isRecording());
        QCOMPARE(memoIn(m.memosFolder()).size(), 1);
    }
};

int main(int argc, char** argv)
{
    discoPiccolo = montaDiscoPiccolo();
    int esito = 0;
    {
        QCoreApplication app(argc, argv);
        TestRegistrazioneReale prova;
        esito = QTest::qExec(&prova, argc, argv);
    }
    if (!discoPiccolo.isEmpty()) {
        umount2(discoPiccolo.toLocal8Bit().constData(), MNT_DETACH);
        rmdir(discoPiccolo.toLocal8Bit().constData());
    }
    return esito;
}

#include "tst_RegistrazioneReale.moc"
