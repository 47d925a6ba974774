#include "Disegno.h"
#include "FormaTacca.h"
#include "ImmaginiTacca.h"
#include "TestOutput.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

// The notch shape drawn from kept pictures looks like the shape drawn
// straight: pixel for pixel at rest, and while it moves apart from the rim's
// faint gradient, which the pieces take from a shape of another size.
class TestImmaginiTacca : public QObject {
    Q_OBJECT

    static QImage tela(double dpr)
    {
        QImage img(QSize(800, 620) * dpr, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::transparent);
        return img;
    }

private slots:
    void theShapeLooksAsDrawnStraight_data()
    {
        QTest::addColumn<QRectF>("forma");
        QTest::addColumn<QRectF>("comeDritta"); // where it lands, drawn straight
        QTest::addColumn<double>("dpr");
        QTest::addColumn<bool>("inMoto");
        QTest::addColumn<int>("scartoAmmesso");
        QTest::newRow("tray at rest") << QRectF(170, 0, 460, 390) << QRectF(170, 0, 460, 390) << 1.0 << false << 0;
        // Moving, the rim's gradient is the picture's: its bright end runs a
        // little further or shorter than on the shape drawn straight.
        QTest::newRow("tray moving") << QRectF(170, 0, 460, 390) << QRectF(170, 0, 460, 390) << 1.0 << true << 6;
        QTest::newRow("tall, moving") << QRectF(200, 0, 400, 550) << QRectF(200, 0, 400, 550) << 1.0 << true << 6;
        // Moving, it lands on whole pixels.
        QTest::newRow("between pixels, moving") << QRectF(241.2, 0, 317.6, 201.3) << QRectF(241, 0, 318, 201) << 1.0 << true << 8;
        // Low and wide, the shape's own gradient fades much sooner along the top.
        QTest::newRow("low, moving") << QRectF(290, 0, 220, 66) << QRectF(290, 0, 220, 66) << 1.0 << true << 24;
        QTest::newRow("too low to be laid together") << QRectF(311.5, 0, 177, 40.5) << QRectF(311.5, 0, 177, 40.5) << 1.0 << true << 0;
        QTest::newRow("twice as dense, moving") << QRectF(170, 0, 460, 390) << QRectF(170, 0, 460, 390) << 2.0 << true << 8;
        // The rim's gradient, worked out from other coordinates, may round a level apart.
        QTest::newRow("twice as dense, at rest") << QRectF(170, 0, 460, 390) << QRectF(170, 0, 460, 390) << 2.0 << false << 1;
    }

    void theShapeLooksAsDrawnStraight()
    {
        QFETCH(QRectF, forma);
        QFETCH(QRectF, comeDritta);
        QFETCH(double, dpr);
        QFETCH(bool, inMoto);
        QFETCH(int, scartoAmmesso);
        QImage dritta = tela(dpr);
        {
            QPainter p(&dritta);
            FormaTacca::disegna(p, comeDritta, comeDritta.height(), false);
        }
        ImmaginiTacca immagini;
        QSignalSpy pronte(&immagini, &ImmaginiTacca::pronta);
        immagini.preparaRiferimento(QSizeF(460, 550) * 1.1, dpr);
        // Moving, it is laid together; at rest, shown from its own picture.
        if (!inMoto)
            immagini.prepara(forma, dpr);
        QTRY_COMPARE_WITH_TIMEOUT(pronte.count(), inMoto ? 1 : 2, 10000);
        // Twice: the first frame may have made what the second shows.
        for (int volta = 0; volta < 2; ++volta) {
            QImage kept = tela(dpr);
            {
                QPainter p(&kept);
                immagini.disegna(p, forma, forma.height(), false, inMoto);
            }
            QVERIFY2(scartoMassimo(kept, dritta) <= scartoAmmesso, qPrintable(QString::number(scartoMassimo(kept, dritta))));
        }
    }

    void aShapeAtRestNotAskedForIsMadeThere()
    {
        const QRectF forma(170, 0, 430, 480);
        QImage dritta = tela(1);
        {
            QPainter p(&dritta);
            FormaTacca::disegna(p, forma, forma.height(), false);
        }
        ImmaginiTacca immagini;
        QImage kept = tela(1);
        {
            QPainter p(&kept);
            immagini.disegna(p, forma, forma.height(), false, false);
        }
        QCOMPARE(scartoMassimo(kept, dritta), 0);
    }
};

QTEST_MAIN(TestImmaginiTacca)
#include "tst_ImmaginiTacca.moc"
