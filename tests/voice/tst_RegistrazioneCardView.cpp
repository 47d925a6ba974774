#include "FakeAudio.h"
#include "FakeClock.h"
#include "RegistrazioneCardView.h"
#include "SchedaChiusa.h"
#include "TestOutput.h"
#include "VoiceManager.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

// The live recording card over a real voice manager on the fake audio backend.
class TestRegistrazioneCardView : public QObject {
    Q_OBJECT

private slots:
    void timeText_data()
    {
        QTest::addColumn<double>("secondi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("0") << 0.0 << QStringLiteral("00:00");
        QTest::newRow("59") << 59.0 << QStringLiteral("00:59");
        QTest::newRow("59.9 is still 59") << 59.9 << QStringLiteral("00:59");
        QTest::newRow("60") << 60.0 << QStringLiteral("01:00");
        QTest::newRow("75") << 75.0 << QStringLiteral("01:15");
        QTest::newRow("3600") << 3600.0 << QStringLiteral("60:00");
        QTest::newRow("6000, minutes unbounded") << 6000.0 << QStringLiteral("100:00");
        QTest::newRow("not a number") << std::nan("") << QStringLiteral("00:00");
    }
    void timeText()
    {
        QFETCH(double, secondi);
        QFETCH(QString, testo);
        QCOMPARE(RegistrazioneCardView::testoTempo(secondi), testo);
    }

    void stopEndsTheRecordingAndIsHarmlessWhenIdle()
    {
        QTemporaryDir dir;
        FakeBackendAudio audio;
        FakeClock clock;
        VoiceManager manager(audio, clock, dir.filePath(QStringLiteral("Documents")));
        RegistrazioneCardView card(manager, clock);
        QCOMPARE(card.rettangoloScheda().size(), RegistrazioneCardView::kDimensione);
        QVERIFY(card.rettangoloScheda().contains(QRectF(card.pulsanteStop()->geometry())));

        QTest::mouseClick(card.pulsanteStop(), Qt::LeftButton); // nothing records
        QTest::qWait(0);
        QVERIFY(!manager.isRecording());

        manager.startRecording();
        QTRY_VERIFY(manager.isRecording());
        card.show();
        clock.advance(75);
        QCOMPARE(manager.recordingDuration(), 75.0);
        QImage img(card.size(), QImage::Format_ARGB32);
        img.fill(QColor(40, 44, 52));
        {
            QPainter p(&img);
            p.drawImage(0, 0, card.grab().toImage());
        }
        img.save(QDir(cartellaOutputTest()).filePath(QStringLiteral("scheda-registrazione.png")));
        // The button's capsule is red.
        const QColor bottone = img.pixelColor(card.pulsanteStop()->geometry().topLeft() + QPoint(4, 10));
        QVERIFY2(bottone.red() > 200 && bottone.green() < 100, qPrintable(bottone.name()));

        QTest::mouseClick(card.pulsanteStop(), Qt::LeftButton);
        QTRY_VERIFY(!manager.isRecording());
        card.hide();
        QCOMPARE(clock.pending(), 0); // hidden and idle: nothing pulses or counts
    }
};

QTEST_MAIN(TestRegistrazioneCardView)
#include "tst_RegistrazioneCardView.moc"
