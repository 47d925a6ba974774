#include "BattitoStrati.h"
#include "ColoreCopertina.h"
#include "Colori.h"
#include "CompactMediaCard.h"
#include "FakeClock.h"
#include "StatoMedia.h"
#include "TestOutput.h"
#include "VistaFiloAvanzamento.h"
#include "VistaOndeSonore.h"

#include <QPainter>
#include <QTest>
#include <cmath>
#include <numbers>

class TestCompactMediaCard : public QObject {
    Q_OBJECT

private slots:
    void fraction_data()
    {
        QTest::addColumn<double>("tempo");
        QTest::addColumn<double>("durata");
        QTest::addColumn<double>("attesa");
        QTest::newRow("stream") << 30.0 << 0.0 << 0.0;
        QTest::newRow("middle") << 50.0 << 200.0 << 0.25;
        QTest::newRow("past the end is full") << 250.0 << 200.0 << 1.0;
        QTest::newRow("negative time") << -3.0 << 200.0 << 0.0;
        QTest::newRow("nan time") << std::nan("") << 200.0 << 0.0;
    }
    void fraction()
    {
        QFETCH(double, tempo);
        QFETCH(double, durata);
        QTEST(CompactMediaCard::frazione(tempo, durata), "attesa");
    }

    void glideOrJump_data()
    {
        QTest::addColumn<bool>("haVecchia");
        QTest::addColumn<double>("vecchia");
        QTest::addColumn<double>("nuova");
        QTest::addColumn<double>("durata");
        QTest::addColumn<bool>("scorre");
        QTest::newRow("first value jumps") << false << 0.0 << 0.3 << 1.5 << false;
        QTest::newRow("a poll step glides") << true << 0.1 << 0.1075 << 1.5 << true;
        QTest::newRow("exactly 0.08 glides") << true << 0.5 << 0.58 << 1.5 << true;
        QTest::newRow("a seek jumps") << true << 0.1 << 0.6 << 1.5 << false;
        QTest::newRow("backwards a little glides") << true << 0.5 << 0.45 << 1.5 << true;
        QTest::newRow("no duration jumps") << true << 0.1 << 0.11 << 0.0 << false;
    }
    void glideOrJump()
    {
        QFETCH(bool, haVecchia);
        QFETCH(double, vecchia);
        QFETCH(double, nuova);
        QFETCH(double, durata);
        QTEST(VistaFiloAvanzamento::scorre(haVecchia ? std::optional<double>(vecchia) : std::nullopt, nuova, durata), "scorre");
    }

    void lineGlidesOverAPollAndJumpsOnASeek()
    {
        FakeClock clock;
        VistaFiloAvanzamento f(nullptr, clock);
        f.show();
        f.aggiorna(0.10, 180, 2.5, Qt::white, 1.5);
        QCOMPARE(f.larghezzaCorrente(), 18.0);
        QCOMPARE(clock.pending(), 0); // a first value jumps
        f.aggiorna(0.10 + 1.5 / 200, 180, 2.5, Qt::white, 1.5); // a poll 1.5 s later on a 200 s track
        QCOMPARE(f.larghezzaCorrente(), 18.0);
        clock.advance(0.75);
        QVERIFY(std::abs(f.larghezzaCorrente() - (18.0 + 0.675)) < 0.01);
        QCOMPARE(clock.pending(), 1);
        clock.advance(0.75);
        QVERIFY(std::abs(f.larghezzaCorrente() - 19.35) < 1e-9);
        clock.advance(BattitoStrati::intervallo());
        QCOMPARE(clock.pending(), 0); // the glide leaves the beat on the beat after its end
        f.aggiorna(0.6, 180, 2.5, Qt::white, 1.5);
        QCOMPARE(f.larghezzaCorrente(), 108.0);
        // The same fraction again changes nothing.
        f.aggiorna(0.6, 180, 2.5, Qt::red, 1.5);
        QCOMPARE(clock.pending(), 0);
        QCOMPARE(f.colore(), QColor(Qt::red));
    }

    void wavesMoveOnlyWhenAsked()
    {
        FakeClock clock;
        VistaOndeSonore o(nullptr, clock);
        o.show();
        for (int i = 0; i < 4; ++i)
            QCOMPARE(o.scala(i), 1.0);
        QCOMPARE(VistaOndeSonore::altezzaPiena(1), 14.0);
        QCOMPARE(o.barra(0).center(), QPointF(1.5, 7));
        QCOMPARE(o.barra(3).center(), QPointF(16.5, 7));
        o.setAnimate(true);
        QCOMPARE(clock.pending(), 1);
        // Bar 1 starts at its lowest; bar 2 starts 1.9 rad into its swing.
        QCOMPARE(o.scala(0), 4 / VistaOndeSonore::altezzaPiena(0));
        QVERIFY(o.scala(1) > 4 / VistaOndeSonore::altezzaPiena(1));
        clock.advance(std::numbers::pi / 4.9);
        QVERIFY(std::abs(o.scala(0) - 1.0) < 1e-6);
        o.setAnimate(true); // the same value does nothing
        QVERIFY(std::abs(o.scala(0) - 1.0) < 1e-6);
        o.setAnimate(false);
        QCOMPARE(clock.pending(), 0);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(o.scala(i), 1.0);
        // On again: back in phase with the table.
        o.setAnimate(true);
        QCOMPARE(o.scala(0), 4 / VistaOndeSonore::altezzaPiena(0));
        // Hidden bars take no frames, and take them again when shown.
        o.hide();
        QCOMPARE(clock.pending(), 0);
        o.show();
        QCOMPARE(clock.pending(), 1);
    }

    void aWaveFrameRepaintsTheWavesAlone()
    {
        // Each frame of the waves is theirs: the card under them (its text,
        // its plate) is not painted again.
        FakeClock clock;
        QWidget fondo;
        fondo.setAttribute(Qt::WA_TranslucentBackground);
        CompactMediaCard c(&fondo, clock);
        StatoMedia s;
        s.trackTitle = QStringLiteral("Notturno");
        s.totalDuration = 200;
        c.setStato(s);
        c.setOndeAnimate(true);
        fondo.resize(c.size());
        fondo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fondo));
        struct Conta : QObject {
            int n = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                n += e->type() == QEvent::Paint;
                return false;
            }
        } carta, onde;
        c.installEventFilter(&carta);
        c.onde()->installEventFilter(&onde);
        for (int i = 0; i < 3; ++i) {
            clock.advance(1.0 / 15);
            QTRY_COMPARE(onde.n, i + 1);
        }
        QCOMPARE(carta.n, 0);
    }

    void wavesTakeTheLabelColour()
    {
        FakeClock clock;
        VistaOndeSonore o(nullptr, clock);
        QPalette pal = o.palette();
        pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
        o.setPalette(pal);
        QImage img = o.grab().toImage();
        QVERIFY(qRed(img.pixel(6, 7)) > qBlue(img.pixel(6, 7)) + 100);
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        o.setPalette(pal);
        img = o.grab().toImage();
        QVERIFY(qBlue(img.pixel(6, 7)) > qRed(img.pixel(6, 7)) + 100);
    }

    void lineColour()
    {
        const QColor senza = CompactMediaCard::coloreFilo(std::nullopt);
        const QColor accento = Colori::accento();
        QCOMPARE(senza.red(), int(std::lround(accento.red() + (255 - accento.red()) * 0.18)));
        QCOMPARE(CompactMediaCard::coloreFilo(QColor(0, 0, 0)).red(), int(std::lround(255 * 0.18)));
    }

    void tintFadesOverHalfASecond()
    {
        FakeClock clock;
        int ridisegni = 0;
        TransizioneTinta t(clock, [&] { ++ridisegni; });
        t.imposta(QColor(255, 0, 0));
        QCOMPARE(*t.attuale(), QColor(255, 0, 0)); // the first tint shows at once
        QCOMPARE(clock.pending(), 0);
        t.imposta(QColor(0, 0, 255));
        QCOMPARE(t.attuale()->red(), 255);
        clock.advance(0.25);
        QVERIFY(std::abs(t.attuale()->red() - 128) <= 2);
        QVERIFY(std::abs(t.attuale()->blue() - 128) <= 2);
        clock.advance(0.3);
        QCOMPARE(*t.attuale(), QColor(0, 0, 255));
        QVERIFY(ridisegni >= 15);
        QCOMPARE(clock.pending(), 0);
        // Losing the tint fades the colour out, then there is none.
        t.imposta(std::nullopt);
        clock.advance(0.25);
        QVERIFY(t.attuale() && t.attuale()->alpha() > 0 && t.attuale()->alpha() < 255);
        clock.advance(0.25);
        QVERIFY(!t.attuale());
    }

    void streamHasNoLine()
    {
        FakeClock clock;
        CompactMediaCard c(nullptr, clock);
        StatoMedia s;
        s.trackTitle = QStringLiteral("Radio");
        c.setStato(s);
        c.show();
        QVERIFY(!c.filo()->isVisible());
        s.totalDuration = 100;
        s.currentTime = 250;
        c.setStato(s);
        QVERIFY(c.filo()->isVisible());
        QCOMPARE(c.filo()->larghezzaCorrente(), 180.0);
    }

    // The line and its track keep inside the card's rounded bottom corners:
    // a full line lights no pixel outside them that an empty one leaves dark.
    void progressLineStaysInsideTheCard()
    {
        FakeClock clock;
        auto disegna = [&](double tempo) {
            QWidget fondo;
            fondo.setAttribute(Qt::WA_TranslucentBackground);
            CompactMediaCard c(&fondo, clock);
            fondo.resize(c.sizeHint());
            StatoMedia s;
            s.trackTitle = QStringLiteral("Brano");
            s.currentTime = tempo;
            s.totalDuration = 200;
            s.albumTint = QColor(230, 40, 40);
            c.setStato(s);
            QImage img(fondo.size(), QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            fondo.render(&img, {}, {}, QWidget::DrawChildren);
            return std::make_pair(img, c.rettangoloCard());
        };
        const auto [piena, card] = disegna(200);
        const QImage vuota = disegna(0).first;
        for (const QPoint& fuori : {QPoint(int(card.left()) + 1, int(card.bottom()) - 1),
                                    QPoint(int(card.right()) - 2, int(card.bottom()) - 1)})
            QCOMPARE(piena.pixel(fuori), vuota.pixel(fuori));
        const QPoint dentro(int(card.center().x()), int(card.bottom()) - 1);
        QVERIFY(piena.pixel(dentro) != vuota.pixel(dentro));
    }

    void renders()
    {
        FakeClock clock;
        QImage art(90, 90, QImage::Format_ARGB32_Premultiplied);
        {
            QPainter p(&art);
            p.fillRect(art.rect(), QColor(40, 90, 200));
            p.setBrush(QColor(120, 220, 255));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(45, 45), 25, 25);
        }
        struct Caso {
            const char* nome;
            bool copertina;
            bool onde;
        } casi[] = {{"compact_card_tinted", true, true}, {"compact_card_plain", false, false}};
        for (const Caso& caso : casi) {
            QWidget fondo;
            QPalette pal = fondo.palette();
            pal.setColor(QPalette::WindowText, Qt::white); // the notch is dark
            pal.setColor(QPalette::Window, Qt::black);
            fondo.setAutoFillBackground(true);
            fondo.setPalette(pal);
            CompactMediaCard c(&fondo, clock);
            fondo.resize(c.sizeHint());
            StatoMedia s;
            s.trackTitle = QStringLiteral("Notturno in sol minore — live");
            s.currentTime = 80;
            s.totalDuration = 200;
            if (caso.copertina) {
                s.albumArt = art;
                s.albumTint = coloreDaCopertina(art);
            }
            c.setStato(s);
            c.setOndeAnimate(caso.onde);
            fondo.show();
            clock.advance(0.3);
            const QImage img = salvaRender(fondo, QString::fromLatin1(caso.nome));
            QCOMPARE(img.size(), CompactMediaCard::kCard.grownBy(CompactMediaCard::margini()));
            const QRectF card = c.rettangoloCard();
            // The progress line: 40 % of the bottom edge is lit, the rest is the dim track.
            const int y = int(card.bottom() - 1);
            const QRgb acceso = img.pixel(int(card.left() + 30), y), spento = img.pixel(int(card.left() + 150), y);
            QVERIFY(std::abs(qRed(acceso) - qRed(spento)) + std::abs(qGreen(acceso) - qGreen(spento))
                        + std::abs(qBlue(acceso) - qBlue(spento)) > 60);
            QVERIFY(qBlue(acceso) > qRed(acceso) + 40); // blue tint, or the blue accent
            // Between two bars the waves show the plate as it is beside them, over the same black.
            const QPoint onde = c.onde()->geometry().topLeft();
            const QRgb traBarre = img.pixel(onde + QPoint(4, 7)), accanto = img.pixel(onde + QPoint(-3, 7));
            QCOMPARE(qAlpha(traBarre), 255);
            QVERIFY2(std::abs(qRed(traBarre) - qRed(accanto)) + std::abs(qGreen(traBarre) - qGreen(accanto))
                             + std::abs(qBlue(traBarre) - qBlue(accanto)) <= 6,
                     qPrintable(QStringLiteral("%1 beside %2").arg(traBarre, 0, 16).arg(accanto, 0, 16)));
        }
    }
};

QTEST_MAIN(TestCompactMediaCard)
#include "tst_CompactMediaCard.moc"
