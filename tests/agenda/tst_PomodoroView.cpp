#include "Colori.h"
#include "FakeClock.h"
#include "FakeNotifiche.h"
#include "PomodoroManager.h"
#include "PomodoroView.h"
#include "SuonoAllarme.h"
#include "TestOutput.h"
#include "SuonoMuto.h"

#include <QLineF>
#include <QPainter>
#include <QTest>

namespace {

// The dark open notch behind the tab, at the tab's size in the panel.
class Pannello final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

struct Banco {
    FakeClock clock;
    FakeNotifiche notifiche;
    SuonoMuto suono;
    PomodoroManager manager{clock, notifiche, suono};
    Pannello pannello;
    PomodoroView* vista;

    explicit Banco(QSize area = {400, 419})
    {
        pannello.resize(area);
        vista = new PomodoroView(manager, Colori::arancione(), &pannello, clock);
        vista->setGeometry(pannello.rect());
        pannello.show();
    }
    void clic(QWidget* w, QPoint dove = {}) { QTest::mouseClick(w, Qt::LeftButton, {}, dove.isNull() ? w->rect().center() : dove); }
    void passo(Stepper* s, int direzione)
    {
        clic(s, (direzione > 0 ? s->frecciaSu() : s->frecciaGiu()).center());
    }
    QImage render(const QString& nome) { return salvaRender(pannello, nome); }
    // A custom countdown of `secondi`, started.
    void avviaPersonalizzato(int secondi)
    {
        manager.setCurrentMode(TimerMode::custom);
        manager.setCustomMinutes(secondi / 60);
        manager.setCustomSeconds(secondi % 60);
        manager.startTimer();
    }
};

bool arancione(QRgb c) { return qRed(c) > 200 && qGreen(c) > 100 && qGreen(c) < 190 && qBlue(c) < 60; }

// The red and the green summed over the inside of the ring away from the
// digits, wherever the font puts them: 6 pixels beyond the box of what holds
// blue in either picture (white does; the orange and red glows hardly any).
std::pair<qint64, qint64> intornoAlleCifre(const QImage& im, const QImage& altra, const QRectF& anello)
{
    const QPointF c = anello.center();
    const double raggio = anello.width() / 2 - 15; // inside the track, even swollen
    QList<QPoint> dentro;
    QRect cifre;
    for (int y = int(c.y() - raggio); y <= int(c.y() + raggio); ++y)
        for (int x = int(c.x() - raggio); x <= int(c.x() + raggio); ++x)
            if (QLineF(c, QPointF(x, y)).length() <= raggio) {
                dentro << QPoint(x, y);
                if (qBlue(im.pixel(x, y)) > 24 || qBlue(altra.pixel(x, y)) > 24)
                    cifre |= QRect(x, y, 1, 1);
            }
    cifre.adjust(-6, -6, 6, 6);
    qint64 rosso = 0, verde = 0;
    for (const QPoint& p : std::as_const(dentro))
        if (!cifre.contains(p)) {
            rosso += qRed(im.pixel(p));
            verde += qGreen(im.pixel(p));
        }
    return {rosso, verde};
}

} // namespace

class TestPomodoroView : public QObject {
    Q_OBJECT

private slots:
    void aFreshTabShowsAFullRingReadyToStart()
    {
        Banco b;
        QVERIFY(!b.vista->mostraEditor());
        QCOMPARE(b.vista->pulsantePlay()->simbolo(), QStringLiteral("play.fill"));
        QVERIFY(!b.vista->pulsantePlay()->evidenziata() && !b.vista->pulsanteReset()->evidenziata());
        QCOMPARE(b.vista->testoSessioni(), QStringLiteral("Sessioni completate: 0"));
        QCOMPARE(b.vista->progressoMostrato(), 1.0);
        const QImage img = b.render(QStringLiteral("pomodoro-pronto"));
        // Everything fits in the tab: the sessions line is not cut off at the bottom.
        QVERIFY(b.vista->pulsanteReset()->geometry().bottom() < img.height() - 30);
        // The full ring is orange on both sides.
        const QRectF r = b.vista->rettangoloAnello();
        QVERIFY(arancione(img.pixel(QPointF(r.left() + 1, r.center().y()).toPoint())));
        QVERIFY(arancione(img.pixel(QPointF(r.right() - 1, r.center().y()).toPoint())));
    }

    void theButtonsDriveTheManager_data()
    {
        QTest::addColumn<QString>("pulsanti");
        QTest::addColumn<bool>("attivo");
        QTest::addColumn<PomodoroSessionState>("stato");
        QTest::addColumn<QString>("simbolo");
        QTest::addColumn<int>("tempo");
        QTest::newRow("play") << "play" << true << PomodoroSessionState::running << "pause.fill" << 1500;
        QTest::newRow("play, pause") << "play play" << false << PomodoroSessionState::paused << "play.fill" << 1500;
        QTest::newRow("play, 3 s, pause, play") << "play +3 play play" << true << PomodoroSessionState::running
                                                << "pause.fill" << 1497;
        QTest::newRow("play, 3 s, reset") << "play +3 reset" << false << PomodoroSessionState::stopped << "play.fill"
                                          << 1500;
        QTest::newRow("mode") << "modo" << false << PomodoroSessionState::stopped << "play.fill" << 600;
        QTest::newRow("running, mode") << "play +3 modo" << false << PomodoroSessionState::stopped << "play.fill" << 600;
        QTest::newRow("mode twice") << "modo modo" << false << PomodoroSessionState::stopped << "play.fill" << 1500;
    }

    void theButtonsDriveTheManager()
    {
        QFETCH(QString, pulsanti);
        QFETCH(bool, attivo);
        QFETCH(PomodoroSessionState, stato);
        QFETCH(QString, simbolo);
        QFETCH(int, tempo);
        Banco b;
        for (const QString& p : pulsanti.split(QLatin1Char(' '))) {
            if (p == QLatin1String("play"))
                b.clic(b.vista->pulsantePlay(), b.vista->pulsantePlay()->disco().center());
            else if (p == QLatin1String("reset"))
                b.clic(b.vista->pulsanteReset(), b.vista->pulsanteReset()->disco().center());
            else if (p == QLatin1String("modo"))
                b.clic(b.vista->pulsanteModo());
            else
                b.clock.advance(p.mid(1).toDouble());
        }
        QCOMPARE(b.manager.isActive(), attivo);
        QCOMPARE(b.manager.sessionState(), stato);
        QCOMPARE(b.manager.timeRemaining(), tempo);
        QCOMPARE(b.vista->pulsantePlay()->simbolo(), simbolo);
        // Both icons light up exactly while the countdown runs.
        QCOMPARE(b.vista->pulsantePlay()->evidenziata(), attivo);
        QCOMPARE(b.vista->pulsanteReset()->evidenziata(), attivo);
        b.render(QStringLiteral("pomodoro-") + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')).remove(QLatin1Char(',')));
    }

    void theEditorStepsWithinItsBounds_data()
    {
        QTest::addColumn<bool>("minuti");
        QTest::addColumn<int>("inizio");
        QTest::addColumn<QList<int>>("passi");
        QTest::addColumn<int>("fine");
        QTest::newRow("minutes up to 99") << true << 98 << QList<int>{1, 1, 1} << 99;
        QTest::newRow("minutes down to 0") << true << 1 << QList<int>{-1, -1} << 0;
        QTest::newRow("minutes back from 99") << true << 99 << QList<int>{1, -1} << 98;
        QTest::newRow("seconds up to 59") << false << 58 << QList<int>{1, 1} << 59;
        QTest::newRow("seconds down to 0") << false << 0 << QList<int>{-1} << 0;
        QTest::newRow("seconds one up") << false << 0 << QList<int>{1} << 1;
    }

    void theEditorStepsWithinItsBounds()
    {
        QFETCH(bool, minuti);
        QFETCH(int, inizio);
        QFETCH(QList<int>, passi);
        QFETCH(int, fine);
        Banco b;
        b.manager.setCurrentMode(TimerMode::custom);
        QVERIFY(b.vista->mostraEditor());
        QVERIFY(b.vista->minuti()->isVisible() && b.vista->secondi()->isVisible());
        QCOMPARE(b.vista->minuti()->valore(), 10);
        QCOMPARE(b.vista->secondi()->valore(), 0);
        if (minuti)
            b.manager.setCustomMinutes(inizio);
        else
            b.manager.setCustomSeconds(inizio);
        Stepper* s = minuti ? b.vista->minuti() : b.vista->secondi();
        for (int d : passi)
            b.passo(s, d);
        QCOMPARE(minuti ? b.manager.customMinutes() : b.manager.customSeconds(), fine);
        QCOMPARE(s->valore(), fine);
        // Each step applies the length at once while the custom timer is stopped.
        QCOMPARE(b.manager.timeRemaining(), b.manager.customMinutes() * 60 + b.manager.customSeconds());
    }

    void theKeyboardAndWheelStepToo()
    {
        Banco b;
        b.manager.setCurrentMode(TimerMode::custom);
        QTest::keyClick(b.vista->secondi(), Qt::Key_Up);
        QCOMPARE(b.manager.customSeconds(), 1);
        QTest::keyClick(b.vista->minuti(), Qt::Key_Down);
        QCOMPARE(b.manager.customMinutes(), 9);
        b.render(QStringLiteral("pomodoro-editor"));
    }

    void aZeroCustomLengthDoesNotStart()
    {
        Banco b;
        b.manager.setCurrentMode(TimerMode::custom);
        b.manager.setCustomMinutes(0);
        b.clic(b.vista->pulsantePlay(), b.vista->pulsantePlay()->disco().center());
        QVERIFY(!b.manager.isActive());
        QVERIFY(b.vista->mostraEditor());
    }

    void aCustomCountdownShowsTheRingAndReturnsToTheEditor()
    {
        Banco b;
        b.manager.setCurrentMode(TimerMode::custom);
        b.manager.setCustomMinutes(0);
        b.manager.setCustomSeconds(4);
        b.clic(b.vista->pulsantePlay(), b.vista->pulsantePlay()->disco().center());
        QVERIFY(!b.vista->mostraEditor());
        QVERIFY(!b.vista->minuti()->isVisible());
        QCOMPARE(b.vista->progressoMostrato(), 1.0);
        b.clock.advance(2 + PomodoroView::kDurataArco + 0.05);
        // Half the time gone: the arc glides there and covers the right half only.
        QCOMPARE(b.vista->progressoMostrato(), 0.5);
        const QImage img = b.render(QStringLiteral("pomodoro-custom-meta"));
        const QRectF r = b.vista->rettangoloAnello();
        QVERIFY(arancione(img.pixel(QPointF(r.right() - 1, r.center().y()).toPoint())));
        QVERIFY(!arancione(img.pixel(QPointF(r.left() + 1, r.center().y()).toPoint())));
        b.clock.advance(3); // 2 s to 0, one more tick completes
        QVERIFY(!b.manager.isActive());
        QVERIFY(b.vista->mostraEditor());
        QVERIFY(b.vista->minuti()->isVisible());
    }

    void theArcGlidesOverAThirdOfASecond()
    {
        Banco b;
        b.avviaPersonalizzato(10);
        b.clock.advance(1.0); // 10 → 9: the glide starts from the full ring
        QCOMPARE(b.vista->progressoMostrato(), 1.0);
        b.clock.advance(PomodoroView::kDurataArco + 0.05);
        QCOMPARE(b.vista->progressoMostrato(), 0.9);
        b.clock.advance(1.0 - PomodoroView::kDurataArco - 0.05 + 0.1); // 0.1 s past the tick to 8
        QVERIFY(b.vista->progressoMostrato() < 0.9 && b.vista->progressoMostrato() > 0.8);
        b.clock.advance(PomodoroView::kDurataArco);
        QCOMPARE(b.vista->progressoMostrato(), 0.8);
    }

    void theRingPulsesRedAtZero()
    {
        Banco b;
        b.avviaPersonalizzato(1);
        const QRectF r = b.vista->rettangoloAnello();
        const QImage prima = b.render(QStringLiteral("pomodoro-prima-impulso"));
        QVERIFY(!b.vista->isPulsing());
        b.clock.advance(1.0); // "00:00"
        QVERIFY(b.vista->isPulsing());
        b.clock.advance(PomodoroView::kDurataPulsazione); // at its strongest
        const QImage impulso = b.render(QStringLiteral("pomodoro-impulso"));
        // Red glows around the digits, reaching far beyond the accent's glow, and red rather than its orange.
        const qint64 senza = intornoAlleCifre(prima, impulso, r).first;
        const auto [con, verde] = intornoAlleCifre(impulso, prima, r);
        QVERIFY2(con > 10 * senza && con > 2 * verde, qPrintable(QStringLiteral("%1 %2 %3").arg(senza).arg(con).arg(verde)));
        // Completion keeps the custom timer at 0: still pulsing, now over the editor.
        b.clock.advance(1.0);
        QVERIFY(b.vista->isPulsing());
        QVERIFY(b.vista->mostraEditor());
        // A positive time ends the pulse.
        b.manager.setCustomSeconds(5);
        QVERIFY(!b.vista->isPulsing());
    }

    void theSessionsLineCountsFocusSessionsInBothModes()
    {
        Banco b;
        b.manager.startTimer();
        b.clock.advance(1501);
        QCOMPARE(b.manager.completedSessions(), 1);
        QCOMPARE(b.vista->testoSessioni(), QStringLiteral("Sessioni completate: 1"));
        b.render(QStringLiteral("pomodoro-pausa-caricata"));
        b.clic(b.vista->pulsanteModo());
        QCOMPARE(b.vista->testoSessioni(), QStringLiteral("Sessioni completate: 1"));
    }
};

QTEST_MAIN(TestPomodoroView)
#include "tst_PomodoroView.moc"
