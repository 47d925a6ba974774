#include "PropostaVideoCardView.h"
#include "TestOutput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace {
VideoNotchManager::Proposta proposta(const QString& titolo)
{
    VideoNotchManager::Proposta p;
    p.sessione.titolo = titolo;
    p.nomeBrowser = QStringLiteral("Google Chrome");
    return p;
}
} // namespace

class TestPropostaVideoCardView : public QObject {
    Q_OBJECT

private slots:
    void drawsTheOfferAndRunsEachActionOnce()
    {
        int si = 0, no = 0;
        PropostaVideoCardView v(proposta(QStringLiteral("Un titolo molto lungo che non entra mai nella riga della scheda, "
                                                         "proprio per niente")),
                                [&] { ++si; }, [&] { ++no; }, PropostaVideoCardView::coloreProposta());
        QCOMPARE(v.rettangoloScheda().size(), QSizeF(290, 46));
        const QImage img = salvaRender(v, QStringLiteral("proposta-video"));
        // Red card, white accept circle near its right end.
        const QRectF c = v.rettangoloScheda();
        const QColor fondo = img.pixelColor(QPointF(c.left() + 60, c.bottom() - 4).toPoint());
        QVERIFY2(fondo.red() > 180 && fondo.green() < 60 && fondo.blue() < 60, qPrintable(fondo.name()));
        const QRect accetta = v.pulsanteSi()->geometry();
        QVERIFY(c.contains(accetta) && v.pulsanteNo()->geometry().left() > accetta.right());
        QCOMPARE(img.pixelColor(accetta.left() + 3, accetta.center().y()), QColor(Qt::white));
        QCOMPARE(v.pulsanteSi()->toolTip(), QStringLiteral("Continua a guardare questo video sotto la tacca"));

        QTest::mouseClick(v.pulsanteSi(), Qt::LeftButton);
        QCOMPARE(std::pair(si, no), std::pair(1, 0));
        QTest::mouseClick(v.pulsanteNo(), Qt::LeftButton);
        QCOMPARE(std::pair(si, no), std::pair(1, 1));
        // The corner outside the circle is not the button.
        QTest::mouseClick(v.pulsanteNo(), Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(no, 1);

        PropostaVideoCardView vuota(proposta(QString()), {}, {}, PropostaVideoCardView::coloreProposta());
        QCOMPARE(vuota.size(), v.size());
        salvaRender(vuota, QStringLiteral("proposta-video-vuota"));
        QTest::mouseClick(vuota.pulsanteSi(), Qt::LeftButton); // no action: nothing happens
    }
};

QTEST_MAIN(TestPropostaVideoCardView)
#include "tst_PropostaVideoCardView.moc"
