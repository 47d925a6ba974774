// How much audio the memo files hold, whole and cut short, on files muxed
// at build time by GStreamer's mp4mux as the recorder muxes them (see
// tests/CMakeLists.txt).
#include "LettoreMp4.h"

#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString kAudio = QStringLiteral(HALVORA_AUDIO_PROVA);
}

class TestLettoreMp4 : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void audioInWholeAndCutFiles_data()
    {
        QTest::addColumn<QString>("sorgente");
        QTest::addColumn<qint64>("taglio"); // bytes kept; negative: counted from the end; 0: whole
        QTest::addColumn<double>("secondi"); // negative: not an MPEG-4 file
        // Three fragments of 43 frames of 1024 samples at 44100 Hz.
        const double frammento = 43 * 1024 / 44100.0;
        QTest::newRow("fragments, whole") << "frammenti.m4a" << qint64(0) << 3 * frammento;
        QTest::newRow("fragments, last one cut") << "frammenti.m4a" << qint64(-9000) << 2 * frammento;
        QTest::newRow("fragments, index only") << "frammenti.m4a" << qint64(780) << 0.0;
        QTest::newRow("fragments, first data cut") << "frammenti.m4a" << qint64(2000) << 0.0;
        QTest::newRow("plain, whole") << "intero.m4a" << qint64(0) << 3 * frammento;
        QTest::newRow("plain, index never written") << "intero.m4a" << qint64(-2000) << 0.0;
        QTest::newRow("ended before any audio") << "senza-audio.m4a" << qint64(0) << 0.0;
        QTest::newRow("empty") << "frammenti.m4a" << qint64(-1) * (1 << 30) << -1.0;
        QTest::newRow("not MPEG-4") << "frase.wav" << qint64(0) << -1.0;
    }
    void audioInWholeAndCutFiles()
    {
        QFETCH(QString, sorgente);
        QFETCH(qint64, taglio);
        QFETCH(double, secondi);
        QFile f(kAudio + QLatin1Char('/') + sorgente);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray dati = f.readAll();
        if (taglio != 0)
            dati.truncate(taglio > 0 ? taglio : qMax<qint64>(0, dati.size() + taglio));
        QFile prova(dir_.filePath(QStringLiteral("prova.m4a")));
        QVERIFY(prova.open(QIODevice::WriteOnly | QIODevice::Truncate));
        prova.write(dati);
        prova.close();

        const auto letti = LettoreMp4::secondiAudio(prova.fileName());
        if (secondi < 0) {
            QVERIFY(!letti);
        } else {
            QVERIFY(letti);
            QVERIFY2(qAbs(*letti - secondi) < 0.01, qPrintable(QString::number(*letti)));
        }
        // Judged without sound: empty, or MPEG-4 without a sample; other kinds are left to the player.
        QCOMPARE(LettoreMp4::senzaSuono(prova.fileName()), dati.isEmpty() || secondi == 0.0);
    }

    // Files anyone can leave in the memo folder: a valid head followed by
    // millions of empty boxes is read within a bound (and not judged), a
    // pipe is never opened to wait on.
    void hostileFilesAreReadWithinBounds()
    {
        QFile f(kAudio + QStringLiteral("/frammenti.m4a"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray testa = f.read(qFromBigEndian<quint32>(f.peek(4).constData())); // its "ftyp" box
        QFile inondato(dir_.filePath(QStringLiteral("inondato.m4a")));
        QVERIFY(inondato.open(QIODevice::WriteOnly));
        inondato.write(testa);
        const QByteArray vuote = QByteArray("\0\0\0\x08" "free", 8).repeated(1 << 20);
        for (int i = 0; i < 3; ++i)
            inondato.write(vuote);
        inondato.close();
        QElapsedTimer t;
        t.start();
        QVERIFY(!LettoreMp4::secondiAudio(inondato.fileName()));
        QVERIFY(!LettoreMp4::senzaSuono(inondato.fileName()));
        QCOMPARE_LT(t.elapsed(), 3000);

        const QByteArray tubo = QFile::encodeName(dir_.filePath(QStringLiteral("tubo.m4a")));
        QCOMPARE(::mkfifo(tubo.constData(), 0600), 0);
        QVERIFY(!LettoreMp4::secondiAudio(QFile::decodeName(tubo)));
    }
};

QTEST_GUILESS_MAIN(TestLettoreMp4)
#include "tst_LettoreMp4.moc"
