#include "FakeClock.h"
#include "StratiPulsanti.h"
#include "TestOutput.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {
constexpr double pi = std::numbers::pi;

// Counts the presses that reach it.
class Fondo : public QWidget {
public:
    int pressioni = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++pressioni; }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
    }
};

FormaPulsante formaRossa()
{
    return {QColor(255, 0, 0), FormaPulsante::Forma::rettangolo(6), {0.2, 1.0}, 1.0, std::nullopt};
}
SimboloOscillante campana()
{
    return {QStringLiteral("bell.fill"), 24, QFont::Bold, QColor(255, 149, 0), 12, 2.0};
}
} // namespace

class TestFormaPulsante : public QObject {
    Q_OBJECT

private slots:
    void progressReversesAndRepeats_data()
    {
        QTest::addColumn<double>("trascorso");
        QTest::addColumn<double>("velocita");
        QTest::addColumn<double>("atteso");
        QTest::newRow("start") << 0.0 << 1.0 << 0.0;
        QTest::newRow("half a leg") << pi / 2 << 1.0 << 0.5;
        QTest::newRow("end of first leg") << pi << 1.0 << 1.0;
        QTest::newRow("half way back") << 1.5 * pi << 1.0 << 0.5;
        QTest::newRow("full cycle") << 2 * pi << 1.0 << 0.0;
        QTest::newRow("faster: leg is pi/4") << pi / 4 << 4.0 << 1.0;
        QTest::newRow("many cycles later") << 20 * pi + pi / 2 << 1.0 << 0.5;
        QTest::newRow("zero speed holds") << 3.0 << 0.0 << 0.0;
        QTest::newRow("negative speed holds") << 3.0 << -2.0 << 0.0;
        QTest::newRow("nan speed holds") << 3.0 << std::nan("") << 0.0;
    }
    void progressReversesAndRepeats()
    {
        QFETCH(double, trascorso);
        QFETCH(double, velocita);
        QFETCH(double, atteso);
        QVERIFY2(std::abs(avanzamentoOscillante(trascorso, velocita) - atteso) < 1e-3,
                 qPrintable(QString::number(avanzamentoOscillante(trascorso, velocita))));
    }

    void easedNotLinear()
    {
        // A quarter of the way into a leg an ease-in curve is well behind.
        QVERIFY(avanzamentoOscillante(pi / 4, 1.0) < 0.2);
    }

    void frameRateRange()
    {
        QCOMPARE(intervalloFotogrammi().minimo, 10.0);
        QCOMPARE(intervalloFotogrammi().massimo, 15.0);
        QCOMPARE(intervalloFotogrammi().preferito, 15.0);
        QCOMPARE(&intervalloFotogrammi(), &intervalloFotogrammi());
    }

    void pulseRestartsOnlyWhenItsDriversChange()
    {
        FakeClock clock;
        VistaFormaPulsante v(nullptr, clock);
        v.resize(40, 20);
        v.configura(formaRossa());
        v.show();
        QCOMPARE(v.opacitaCorrente(), 0.2);
        QCOMPARE(clock.nextDue(), 1.0 / intervalloFotogrammi().minimo);
        clock.advance(pi / 2);
        const double meta = v.opacitaCorrente();
        QVERIFY(std::abs(meta - 0.6) < 0.01);

        // Same drivers, new colour and shadow: the pulse goes on.
        auto c = formaRossa();
        c.colore = QColor(0, 0, 255);
        c.ombra = FormaPulsante::Ombra{0.5f, 6, 3};
        v.configura(c);
        QCOMPARE(v.opacitaCorrente(), meta);
        QCOMPARE(v.configurazione()->colore, QColor(0, 0, 255));

        // A new speed starts over from the lower opacity.
        c.velocita = 2;
        v.configura(c);
        QCOMPARE(v.opacitaCorrente(), 0.2);
        clock.advance(pi / 2); // one whole leg at speed 2
        QVERIFY(std::abs(v.opacitaCorrente() - 1.0) < 0.01);

        // So does a new range.
        c.opacita = {0.4, 0.9};
        v.configura(c);
        QCOMPARE(v.opacitaCorrente(), 0.4);
    }

    // Beats whose opacity step could not be seen draw nothing; the fainter
    // shadow, drawn apart, repaints its margin less often still.
    void beatsDrawOnlyVisibleSteps()
    {
        FakeClock clock;
        QWidget finestra;
        finestra.resize(200, 100);
        VistaFormaPulsante v(&finestra, clock);
        v.setGeometry(40, 30, 120, 40);
        v.configura({QColor(255, 149, 0), FormaPulsante::Forma::rettangolo(16), {0.8, 0.95}, 4,
                     FormaPulsante::Ombra{0.4f, 20, 8}});
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QWidget* ombra = nullptr;
        for (QWidget* w : finestra.findChildren<QWidget*>())
            if (w != &v)
                ombra = w;
        QVERIFY(ombra);
        // The shadow counts only the paints that reach beyond the shape,
        // which repaints the shadow beneath it with itself.
        struct Conta : QObject {
            QHash<QObject*, int> dipinti;
            QObject* forma = nullptr;
            QRect geometriaForma;
            bool eventFilter(QObject* o, QEvent* e) override
            {
                if (e->type() == QEvent::Paint) {
                    const QRect r = static_cast<QPaintEvent*>(e)->rect();
                    const QRect inFinestra = r.translated(static_cast<QWidget*>(o)->pos());
                    if (o == forma || !geometriaForma.contains(inFinestra))
                        ++dipinti[o];
                }
                return false;
            }
        } conta;
        conta.forma = &v;
        conta.geometriaForma = v.geometry();
        v.installEventFilter(&conta);
        ombra->installEventFilter(&conta);
        QCoreApplication::processEvents();
        conta.dipinti.clear();
        const int battiti = 40; // four seconds, five legs
        for (int i = 0; i < battiti; ++i) {
            clock.advance(1.0 / intervalloFotogrammi().minimo);
            QCoreApplication::processEvents();
        }
        // Every frame at the old rule; about three in four at this one.
        QVERIFY2(conta.dipinti[&v] >= battiti / 2 && conta.dipinti[&v] <= battiti * 0.85,
                 qPrintable(QString::number(conta.dipinti[&v])));
        QVERIFY2(conta.dipinti[ombra] < conta.dipinti[&v], qPrintable(QString::number(conta.dipinti[ombra])));
    }

    void hiddenShapeRunsNoTimer()
    {
        FakeClock clock;
        VistaFormaPulsante v(nullptr, clock);
        v.configura(formaRossa());
        QCOMPARE(clock.pending(), 0);
        v.show();
        QCOMPARE(clock.pending(), 1);
        v.hide();
        QCOMPARE(clock.pending(), 0);
        v.show(); // showing again restarts the pulse
        QCOMPARE(v.opacitaCorrente(), 0.2);
    }

    void cornerRadius_data()
    {
        QTest::addColumn<bool>("cerchio");
        QTest::addColumn<QSize>("lato");
        QTest::addColumn<double>("raggio");
        QTest::newRow("circle 30x20") << true << QSize(30, 20) << 10.0;
        QTest::newRow("circle 20x50") << true << QSize(20, 50) << 10.0;
        QTest::newRow("rectangle keeps its radius") << false << QSize(30, 20) << 6.0;
    }
    void cornerRadius()
    {
        QFETCH(bool, cerchio);
        QFETCH(QSize, lato);
        QFETCH(double, raggio);
        FakeClock clock;
        VistaFormaPulsante v(nullptr, clock);
        auto c = formaRossa();
        if (cerchio)
            c.forma = FormaPulsante::Forma::cerchio();
        v.configura(c);
        v.resize(lato);
        QCOMPARE(v.raggioAngoli(), raggio);
    }

    void shadowFallsBelowTheShape()
    {
        FakeClock clock;
        Fondo fondo;
        fondo.resize(120, 80);
        VistaFormaPulsante v(&fondo, clock);
        v.setGeometry(30, 20, 60, 30);
        auto c = formaRossa();
        c.opacita = {1, 1};
        c.ombra = FormaPulsante::Ombra{1.0f, 6, 8};
        v.configura(c);
        fondo.show();
        QImage img = fondo.grab().toImage();
        // Under the shape's bottom edge, outside its bounds: tinted red.
        QVERIFY(qRed(img.pixel(60, 54)) > 60);
        QCOMPARE(qBlue(img.pixel(60, 54)), 0);
        // Above the shape the shadow hardly reaches.
        QVERIFY(qRed(img.pixel(60, 12)) < qRed(img.pixel(60, 54)));

        c.ombra.reset();
        v.configura(c);
        img = fondo.grab().toImage();
        QCOMPARE(qRed(img.pixel(60, 54)), 0);
    }

    void symbolRedrawsAndRocksIndependently()
    {
        FakeClock clock;
        VistaSimboloOscillante v(nullptr, clock);
        v.resize(40, 40);
        v.configura(campana());
        v.show();
        QCOMPARE(v.dimensioneImmagine(), QSize(24, 24));
        QCOMPARE(v.sizeHint(), QSize(24, 24));
        QCOMPARE(v.angoloCorrente(), -12.0);
        clock.advance(pi / 2); // one leg at speed 2
        QVERIFY(std::abs(v.angoloCorrente() - 12.0) < 0.1);
        clock.advance(pi / 8);
        const double angolo = v.angoloCorrente();

        // Only the colour: a new image, the rocking goes on.
        auto c = campana();
        const qint64 primo = v.immagine().cacheKey();
        c.colore = QColor(0, 122, 255);
        v.configura(c);
        QVERIFY(v.immagine().cacheKey() != primo);
        QCOMPARE(v.angoloCorrente(), angolo);
        const QImage img = v.immagine().toImage();
        bool blu = false;
        for (int y = 0; y < img.height() && !blu; ++y)
            for (int x = 0; x < img.width() && !blu; ++x)
                blu = qAlpha(img.pixel(x, y)) > 200 && qBlue(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) < 40;
        QVERIFY(blu);

        // Only the swing: same image, the rocking starts over.
        const qint64 secondo = v.immagine().cacheKey();
        c.gradi = 30;
        v.configura(c);
        QCOMPARE(v.immagine().cacheKey(), secondo);
        QCOMPARE(v.angoloCorrente(), -30.0);
    }

    void unknownSymbolKeepsWhatItHad()
    {
        FakeClock clock;
        VistaSimboloOscillante v(nullptr, clock);
        auto c = campana();
        c.simbolo = QStringLiteral("no.such.symbol");
        v.configura(c);
        QVERIFY(v.immagine().isNull());
        QCOMPARE(v.dimensioneImmagine(), QSize());

        v.configura(campana());
        const qint64 chiave = v.immagine().cacheKey();
        c.dimensione = 40;
        v.configura(c);
        QCOMPARE(v.immagine().cacheKey(), chiave);
        QCOMPARE(v.dimensioneImmagine(), QSize(24, 24));
    }

    void clicksGoToWhatLiesBeneath()
    {
        FakeClock clock;
        Fondo fondo;
        fondo.resize(100, 60);
        auto* forma = new VistaFormaPulsante(&fondo, clock);
        forma->setGeometry(0, 0, 50, 60);
        forma->configura(formaRossa());
        auto* simbolo = new VistaSimboloOscillante(&fondo, clock);
        simbolo->setGeometry(50, 0, 50, 60);
        simbolo->configura(campana());
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        QTest::mouseClick(fondo.windowHandle(), Qt::LeftButton, {}, QPoint(25, 30));
        QTest::mouseClick(fondo.windowHandle(), Qt::LeftButton, {}, QPoint(75, 30));
        QCOMPARE(fondo.pressioni, 2);
    }

    void render()
    {
        FakeClock clock;
        Fondo fondo;
        fondo.resize(260, 90);
        auto* pillola = new VistaFormaPulsante(&fondo, clock);
        pillola->setGeometry(16, 20, 120, 40);
        pillola->configura({QColor(255, 59, 48), FormaPulsante::Forma::rettangolo(16), {0.55, 1.0}, 2.0,
                            FormaPulsante::Ombra{0.6f, 10, 6}});
        auto* cerchio = new VistaFormaPulsante(&fondo, clock);
        cerchio->setGeometry(160, 25, 30, 30);
        cerchio->configura({QColor(52, 199, 89), FormaPulsante::Forma::cerchio(), {0.3, 1.0}, 3.0, std::nullopt});
        auto* simbolo = new VistaSimboloOscillante(&fondo, clock);
        simbolo->setGeometry(205, 20, 40, 40);
        simbolo->configura(campana());
        fondo.show();
        clock.advance(pi / 4);
        const QImage img = salvaRender(fondo, QStringLiteral("strati_pulsanti"));
        QCOMPARE(img.size(), QSize(260, 90));
        QVERIFY(qRed(img.pixel(76, 40)) > 150);   // the pill
        QVERIFY(qGreen(img.pixel(175, 40)) > 100); // the circle
    }
};

QTEST_MAIN(TestFormaPulsante)
#include "tst_FormaPulsante.moc"
