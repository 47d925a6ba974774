#include "Molla.h"

#include <QTest>
#include <cmath>

// The notch's springs end their motion on the frame that reaches the
// target pixel, without a tail of single pixels crept now and then, and
// keep the overshoot of their damping on the way.
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
};

QTEST_GUILESS_MAIN(TestMolla)
#include "tst_Molla.moc"
