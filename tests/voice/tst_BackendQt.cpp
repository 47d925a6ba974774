// The QtMultimedia backends on this machine's real devices.
#include "BackendAudioQt.h"
#include "CameraManager.h"
#include "Clock.h"
#include "SessioneCameraQt.h"
#include "VoiceManager.h"

#include <QDir>
#include <QCameraDevice>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TestBackendQt : public QObject {
    Q_OBJECT

private slots:
    void withoutAMicrophoneTheStartFailsAtOnce()
    {
        if (BackendAudioQt::ciSonoIngressiAudio())
            QSKIP("this machine has an audio input");
        QTemporaryDir dir;
        BackendAudioQt audio;
        VoiceManager m(audio, Clock::system(), dir.path());
        QTRY_VERIFY(m.recordings().isEmpty());
        m.requestMicrophoneAndRecord();
        QTRY_COMPARE(m.errorMessage(),
                     QStringLiteral("Impossibile avviare la registrazione. Controlla il microfono."));
        QVERIFY(!m.isRecording());
        QCOMPARE(QDir(dir.filePath("VoiceMemos")).entryList(QDir::Files), QStringList{});
    }

    void recordsAndPlaysAMemo()
    {
        if (!BackendAudioQt::ciSonoIngressiAudio())
            QSKIP("no audio input on this machine (no sound server or device): nothing to record from");
        QTemporaryDir dir;
        BackendAudioQt audio;
        VoiceManager m(audio, Clock::system(), dir.path());
        m.requestMicrophoneAndRecord();
        QTRY_VERIFY_WITH_TIMEOUT(m.isRecording() || !m.errorMessage().isEmpty(), 10000);
        QVERIFY2(m.errorMessage().isEmpty(), qPrintable(m.errorMessage()));
        QTest::qWait(1500); // some audio to encode
        m.stopRecording();
        QTRY_COMPARE_WITH_TIMEOUT(m.recordings().size(), 1, 10000);
        const QString percorso = m.recordings().first().toLocalFile();
        QVERIFY(percorso.endsWith(".m4a"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(percorso).size() > 0, 10000);
        // AAC in an MPEG-4 container: the file opens with an "ftyp" box.
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray testa = file.read(12);
        QVERIFY2(testa.mid(4, 4) == "ftyp", testa.toHex().constData());
        QVERIFY2(QFileInfo(percorso).size() > 1000, "no audio reached the file");

        m.playMemo(m.recordings().first());
        QTRY_COMPARE(m.playingURL(), m.recordings().first());
        // A second and a half of audio plays to its end and clears the state.
        QTRY_VERIFY_WITH_TIMEOUT(m.playingURL().isEmpty(), 15000);
    }

    void withoutACameraTheManagerSaysSo()
    {
        if (!QMediaDevices::videoInputs().isEmpty())
            QSKIP("this machine has a camera");
        CameraManager camera(std::make_unique<SessioneCameraQt>());
        camera.avviaSessione();
        QTRY_VERIFY(camera.nessunaCamera());
        QVERIFY(!camera.isSessionRunning());
        camera.fermaSessione();
        camera.attendiCodaSessione();
    }

    void deviceNodesWeMayNotOpenAreRefused_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("accessibile");
        QTest::newRow("not a path") << "usb-camera-1" << true;
        QTest::newRow("missing node") << "/dev/video-halvora-test" << true;
        QTest::newRow("root-only file") << "/etc/shadow" << false;
    }
    void deviceNodesWeMayNotOpenAreRefused()
    {
        QFETCH(QString, id);
        QFETCH(bool, accessibile);
        if (!accessibile && ::getuid() == 0)
            QSKIP("running as root: every node opens");
        QCOMPARE(SessioneCameraQt::nodoAccessibile(id), accessibile);
    }
};

QTEST_MAIN(TestBackendQt)
#include "tst_BackendQt.moc"
