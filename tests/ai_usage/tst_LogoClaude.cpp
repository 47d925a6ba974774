#include "LogoClaude.h"

#include <QTest>

class TestLogoClaude : public QObject {
    Q_OBJECT

    static QList<QPointF> punti(const QPainterPath& p)
    {
        QList<QPointF> r;
        for (int i = 0; i < p.elementCount(); ++i)
            r << QPointF(p.elementAt(i).x, p.elementAt(i).y);
        return r;
    }

private slots:
    void parser_data()
    {
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<QList<QPointF>>("attesi");
        QTest::newRow("implicit relative line after m") << QByteArray("m 10 10 20 0")
                                                        << QList<QPointF>{{10, 10}, {30, 10}};
        QTest::newRow("close returns to the subpath start")
            << QByteArray("M 10 10 h 5 v 5 z m 1 1 l 1 0")
            << QList<QPointF>{{10, 10}, {15, 10}, {15, 15}, {10, 10}, {11, 11}, {12, 11}};
        QTest::newRow("S stops the parse") << QByteArray("M1 1L2 2S3 3 4 4L9 9") << QList<QPointF>{{1, 1}, {2, 2}};
        QTest::newRow("numbers -.5 +3 2.") << QByteArray("M-.5+3L2. 0") << QList<QPointF>{{-0.5, 3}, {2, 0}};
        QTest::newRow("1.5.5 and 3-2") << QByteArray("M1.5.5L3-2") << QList<QPointF>{{1.5, 0.5}, {3, -2}};
        QTest::newRow("tab is no separator") << QByteArray("M1 1L2\t2") << QList<QPointF>{{1, 1}};
        QTest::newRow("number first") << QByteArray("10 10") << QList<QPointF>{};
        QTest::newRow("number after z") << QByteArray("M1 1L2 2z 5 5") << QList<QPointF>{{1, 1}, {2, 2}, {1, 1}};
        QTest::newRow("relative curve") << QByteArray("M10 10c1 1 2 2 3 3")
                                        << QList<QPointF>{{10, 10}, {11, 11}, {12, 12}, {13, 13}};
        QTest::newRow("exponent is a command") << QByteArray("M1e2 3") << QList<QPointF>{};
    }
    void parser()
    {
        QFETCH(QByteArray, dati);
        QFETCH(QList<QPointF>, attesi);
        QCOMPARE(punti(analizzaPercorsoSVG(dati)), attesi);
    }

    void fitting_data()
    {
        QTest::addColumn<QRectF>("rettangolo");
        QTest::addColumn<QRectF>("scatola");
        QTest::newRow("48x24") << QRectF(0, 0, 48, 24) << QRectF(12, 0, 24, 24);
        QTest::newRow("24x48") << QRectF(0, 0, 24, 48) << QRectF(0, 12, 24, 24);
        QTest::newRow("12 on the short side") << QRectF(5, 5, 12, 30) << QRectF(5, 14, 12, 12);
    }
    void fitting()
    {
        QFETCH(QRectF, rettangolo);
        QFETCH(QRectF, scatola);
        // The 24-unit box maps onto the centred square.
        const QRectF b = LogoClaude::percorsoLogo().boundingRect();
        const double s = scatola.width() / 24.0;
        const QRectF atteso(scatola.x() + b.x() * s, scatola.y() + b.y() * s, b.width() * s, b.height() * s);
        const QRectF r = LogoClaude::percorso(rettangolo).boundingRect();
        QVERIFY2(qAbs(r.x() - atteso.x()) < 1e-6 && qAbs(r.width() - atteso.width()) < 1e-6
                     && qAbs(r.y() - atteso.y()) < 1e-6,
                 qPrintable(QString("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        QVERIFY(!LogoClaude::percorsoLogo().isEmpty());
        QVERIFY(QRectF(0, 0, 24, 24).contains(b));
    }
};

QTEST_GUILESS_MAIN(TestLogoClaude)
#include "tst_LogoClaude.moc"
