#include "FakeClock.h"
#include "Molla.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

// The notch's springs end their motion on the frame that reaches the
// target pixel, without a tail of single pixels crept now and then, and
// keep the overshoot of their damping on the way; on the shared beat they
// move by the time that passed, not by the beats that came.
class TestMolla : public QObject {
    Q_OBJECT

private slots:
    void aMotionEndsOnTheFrameThatReachesItsPixel_data()
    {
        QTest::addColumn<double>("da");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("pixel"); // pixels per unit of the value
        QTest::newRow("opening, width") << 180.0 << 460.0 << 1.0;
        QTest::newRow("closing, height") << 390.0 << 32.0 << 1.0;
        QTest::newRow("tab change, width") << 460.0 << 400.0 << 1.0;
        QTest::newRow("tab change, a few pixels") << 400.0 << 420.0 << 1.0;
        QTest::newRow("module slide over 460 pixels") << 0.0 << 1.0 << 460.0;
        QTest::newRow("indicator over six tabs") << 0.0 << 6.0 << 40.0;
    }
    void aMotionEndsOnTheFrameThatReachesItsPixel()
    {
        QFETCH(double, da);
        QFETCH(double, a);
        QFETCH(double, pixel);
        Molla m(da);
        m.setTolleranza(0.5 / pixel);
        m.vaiA(a, 0.4, 0.7);
        QList<long> disegnati{std::lround(da * pixel)};
        double oltre = 0;
        while (m.avanza(AnimatoreMolle::kPasso)) {
            disegnati << std::lround(m.valore() * pixel);
            oltre = std::max(oltre, (m.valore() - a) * (a > da ? 1 : -1));
            QVERIFY(disegnati.size() < 100);
        }
        disegnati << std::lround(m.valore() * pixel);
        QVERIFY(m.ferma());
        QCOMPARE(m.valore(), a);
        // The frame that ends the motion is the one that shows the target,
        // or at most one frame after it that changes nothing.
        qsizetype ultimoCambio = disegnati.size() - 1;
        while (ultimoCambio > 0 && disegnati[ultimoCambio - 1] == disegnati.last())
            --ultimoCambio;
        QVERIFY2(disegnati.size() - 1 - ultimoCambio <= 1, qPrintable(QString::number(disegnati.size() - 1 - ultimoCambio)));
        // A damping of 0.7 overshoots by about 4.6 %, which must still show.
        const double corsa = std::abs(a - da) * pixel;
        if (corsa > 100)
            QVERIFY2(oltre * pixel > 0.03 * corsa, qPrintable(QString::number(oltre * pixel)));
        QVERIFY2(disegnati.size() * AnimatoreMolle::kPasso < 0.56, qPrintable(QString::number(disegnati.size())));
    }

    void aLateBeatReachesTheSamePlaceAtTheSameTime_data()
    {
        QTest::addColumn<QList<double>>("battiti"); // when beats come, seconds after the start
        QTest::newRow("on time") << QList<double>{0, 0.015, 0.029, 0.043, 0.057, 0.071, 0.085, 0.099};
        QTest::newRow("one beat 60 ms late") << QList<double>{0, 0.015, 0.075, 0.085, 0.099};
        QTest::newRow("a stall of the whole motion") << QList<double>{0, 0.099};
        QTest::newRow("beats a little late each") << QList<double>{0, 0.017, 0.034, 0.051, 0.068, 0.085, 0.099};
    }
    void aLateBeatReachesTheSamePlaceAtTheSameTime()
    {
        QFETCH(QList<double>, battiti);
        FakeClock orologio;
        Molla m(0);
        AnimatoreMolle animatore(orologio);
        animatore.segui(&m);
        QSignalSpy passi(&animatore, &AnimatoreMolle::passo);
        m.vaiA(100, 0.4, 0.7);
        animatore.avvia();
        for (double t : battiti) {
            orologio.advance(t - orologio.monotonic());
            const int prima = passi.size();
            QVERIFY(passi.wait(1000) || passi.size() > prima);
        }
        // Where a beat on every step would have it by then: the first step
        // at once, one more for each step of time since.
        Molla atteso(0);
        atteso.vaiA(100, 0.4, 0.7);
        for (int i = 0; i <= int(std::floor(battiti.last() / AnimatoreMolle::kPasso)); ++i)
            atteso.avanza(AnimatoreMolle::kPasso);
        QCOMPARE(m.valore(), atteso.valore());
        QVERIFY(m.valore() > 10 && m.valore() < 100);
    }
};

QTEST_GUILESS_MAIN(TestMolla)
#include "tst_Molla.moc"
