#include "FakeClock.h"
#include "FakeNotifiche.h"
#include "ImpegnoCardView.h"
#include "PomodoroManager.h"
#include "PromemoriaCardView.h"
#include "StratiPulsanti.h"
#include "SuonoAllarme.h"
#include "TestOutput.h"
#include "TimerCardView.h"
#include "SuonoMuto.h"

#include <QTest>

namespace {
// A card on a dark backdrop, as it hangs under the notch.
QImage renderSuFondo(QWidget& w, const QString& nome)
{
    return salvaSuFondo(w, w.rect(), QColor(40, 44, 52), nome);
}
} // namespace

// The agenda's closed-notch cards on real managers and the fake clock.
class TestSchedeAgenda : public QObject {
    Q_OBJECT

    struct Banco {
        FakeClock clock;
        FakeNotifiche notifiche;
        SuonoMuto suono;
        PomodoroManager pomodoro{clock, notifiche, suono};
    };

private slots:
    void timerProgress_data()
    {
        QTest::addColumn<int>("resta");
        QTest::addColumn<int>("totale");
        QTest::addColumn<double>("atteso");
        QTest::newRow("full at the start") << 1500 << 1500 << 1.0;
        QTest::newRow("empty at the end") << 0 << 1500 << 0.0;
        QTest::newRow("half") << 150 << 300 << 0.5;
        QTest::newRow("no length") << 100 << 0 << 0.0;
        QTest::newRow("negative length") << 100 << -5 << 0.0;
        QTest::newRow("more left than the length") << 2000 << 1500 << 1.0;
        QTest::newRow("negative time left") << -3 << 1500 << 0.0;
    }
    void timerProgress()
    {
        QFETCH(int, resta);
        QFETCH(int, totale);
        QFETCH(double, atteso);
        QCOMPARE(TimerCardView::progresso(resta, totale), atteso);
    }

    void timerCardSwitchesToTheAlarmAndBack()
    {
        Banco b;
        b.pomodoro.setCurrentMode(TimerMode::custom);
        b.pomodoro.setCustomMinutes(0);
        b.pomodoro.setCustomSeconds(3);
        TimerCardView card(b.pomodoro, b.clock);
        QCOMPARE(card.rettangoloScheda().size(), TimerCardView::kConteggio);
        QVERIFY(!card.inAllarme());
        QVERIFY(card.pulsanteFerma()->isHidden());
        b.pomodoro.startTimer();
        b.clock.advance(1);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("00:02"));
        renderSuFondo(card, QStringLiteral("scheda-timer"));

        b.clock.advance(3); // past 00:00: the alarm rings
        QVERIFY(b.pomodoro.allarmeAttivo());
        QVERIFY(card.inAllarme());
        QCOMPARE(card.rettangoloScheda().size(), TimerCardView::kAllarme);
        QVERIFY(!card.pulsanteFerma()->isHidden());
        // The stop button lies inside the wider card.
        QVERIFY(card.rettangoloScheda().contains(QRectF(card.pulsanteFerma()->geometry())));
        const QImage img = renderSuFondo(card, QStringLiteral("scheda-timer-allarme"));
        // Red under the text, white under the button.
        const QColor fondo = img.pixelColor(card.rettangoloScheda().toRect().center() + QPoint(0, 14));
        QVERIFY2(fondo.red() > 150 && fondo.green() < 100, qPrintable(fondo.name()));
        QCOMPARE(img.pixelColor(card.pulsanteFerma()->geometry().topLeft() + QPoint(12, 3)), QColor(Qt::white));

        QTest::mouseClick(card.pulsanteFerma(), Qt::LeftButton);
        QVERIFY(!b.pomodoro.allarmeAttivo());
        QVERIFY(!card.inAllarme());
        QCOMPARE(card.rettangoloScheda().size(), TimerCardView::kConteggio);
        QVERIFY(card.pulsanteFerma()->isHidden());
    }

    void theRingGlidesOnEachTickOnlyWhileShown()
    {
        Banco b;
        TimerCardView card(b.pomodoro, b.clock);
        QCOMPARE(card.progressoMostrato(), 1.0);
        card.show();
        b.pomodoro.startTimer();
        const int base = b.clock.pending();
        b.clock.advance(1); // 1499 of 1500
        const double dopo = 1499.0 / 1500;
        QCOMPARE(card.progressoMostrato(), 1.0); // the glide starts where the ring was
        QVERIFY(b.clock.pending() > base);        // and runs on frames of its own
        // The digits roll to the new time for a quarter of a second.
        QCOMPARE(card.tempo().testo(), QStringLiteral("24:59"));
        QVERIFY(card.tempo().inCorso());
        b.clock.advance(0.1);
        renderSuFondo(card, QStringLiteral("scheda-timer-cifre"));
        b.clock.advance(0.2);
        QVERIFY(!card.tempo().inCorso());
        b.clock.advance(0.15);
        QVERIFY(qAbs(card.progressoMostrato() - (1.0 + dopo) / 2) < 1e-3);
        b.clock.advance(0.5);
        QCOMPARE(card.progressoMostrato(), dopo);
        QCOMPARE(b.clock.pending(), base); // the glide's timer ends with it
        card.hide();
        b.clock.advance(1);
        QCOMPARE(b.clock.pending(), base); // hidden: nothing glides
        QCOMPARE(card.progressoMostrato(), 1498.0 / 1500);
        QCOMPARE(card.tempo().testo(), QStringLiteral("24:58"));
        QVERIFY(!card.tempo().inCorso());
    }

    void appointmentStartText_data()
    {
        QTest::addColumn<int>("secondi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("14 min 10 s") << 14 * 60 + 10 << QStringLiteral("fra 15 minuti");
        QTest::newRow("exactly 120 s") << 120 << QStringLiteral("fra 2 minuti");
        QTest::newRow("61 s") << 61 << QStringLiteral("fra 2 minuti");
        QTest::newRow("60 s") << 60 << QStringLiteral("fra 1 minuto");
        QTest::newRow("59 s") << 59 << QStringLiteral("fra 1 minuto");
        QTest::newRow("1 s") << 1 << QStringLiteral("fra 1 minuto");
        QTest::newRow("at the start") << 0 << QStringLiteral("ora");
        QTest::newRow("after the start") << -90 << QStringLiteral("ora");
    }
    void appointmentStartText()
    {
        QFETCH(int, secondi);
        QFETCH(QString, testo);
        const QDateTime ora(QDate(2026, 3, 2), QTime(9, 0), Qt::LocalTime);
        QCOMPARE(ImpegnoCardView::testoInizio(ora.addSecs(secondi), ora), testo);
    }

    void appointmentCard()
    {
        FakeClock clock;
        Impegno i;
        i.titolo = QStringLiteral("Riunione di progetto");
        i.inizio = clock.now().addSecs(130);
        i.luogo = QStringLiteral("Sala Verde");
        i.colore = Qt::red;
        ImpegnoCardView card(i, clock);
        QCOMPARE(card.rettangoloScheda().size(), ImpegnoCardView::kDimensione);
        QCOMPARE(card.sottotitolo(), QStringLiteral("fra 3 minuti · Sala Verde"));
        const QImage img = renderSuFondo(card, QStringLiteral("scheda-impegno"));
        // Indigo whatever the calendar's colour.
        const QColor c = img.pixelColor(card.rettangoloScheda().toRect().center() + QPoint(60, 0));
        QVERIFY2(c.blue() > c.red() && c.blue() > c.green(), qPrintable(c.name()));

        i.luogo.reset();
        i.titolo = QStringLiteral("Un titolo lunghissimo che non può stare in una riga sola della scheda");
        ImpegnoCardView senzaLuogo(i, clock);
        QCOMPARE(senzaLuogo.sottotitolo(), QStringLiteral("fra 3 minuti"));
        QCOMPARE(senzaLuogo.rettangoloScheda().size(), ImpegnoCardView::kDimensione);
        renderSuFondo(senzaLuogo, QStringLiteral("scheda-impegno-lungo"));
    }

    void appointmentTextStaysFreshOnlyWhileShown()
    {
        FakeClock clock;
        Impegno i;
        i.titolo = QStringLiteral("Chiamata");
        i.inizio = clock.now().addSecs(90);
        ImpegnoCardView card(i, clock);
        QCOMPARE(clock.pending(), 0); // not shown: no timer
        card.show();
        QCOMPARE(clock.pending(), 1);
        QCOMPARE(clock.nextDue(), 30.0); // when "fra 2 minuti" becomes "fra 1 minuto"
        clock.advance(30);
        QCOMPARE(card.sottotitolo(), QStringLiteral("fra 1 minuto"));
        QCOMPARE(clock.nextDue(), 60.0);
        clock.advance(60);
        QCOMPARE(card.sottotitolo(), QStringLiteral("ora"));
        QCOMPARE(clock.pending(), 0); // "ora" does not change any more
        card.hide();
        i.inizio = clock.now().addSecs(600);
        ImpegnoCardView altra(i, clock);
        altra.show();
        altra.hide();
        QCOMPARE(clock.pending(), 0);
    }

    void reminderButtons_data()
    {
        QTest::addColumn<bool>("fatto");
        QTest::newRow("Fatto") << true;
        QTest::newRow("Dopo") << false;
    }
    void reminderButtons()
    {
        QFETCH(bool, fatto);
        FakeClock clock;
        int fatti = 0, rinvii = 0;
        PromemoriaCardView card(Promemoria{QStringLiteral("r1"), QStringLiteral("Chiamare Luca"), std::nullopt, true},
                                [&] { ++fatti; }, [&] { ++rinvii; }, clock);
        QTest::mouseClick(fatto ? card.pulsanteFatto() : card.pulsanteDopo(), Qt::LeftButton);
        QCOMPARE(fatti, fatto ? 1 : 0);
        QCOMPARE(rinvii, fatto ? 0 : 1);
        QCOMPARE(card.pulsanteDopo()->toolTip(), QStringLiteral("Ricordamelo fra dieci minuti"));
        QVERIFY(card.pulsanteFatto()->toolTip().isEmpty());
    }

    void reminderCardKeepsItsSizeAndButtons()
    {
        FakeClock clock;
        PromemoriaCardView card(
            Promemoria{QStringLiteral("r1"),
                       QStringLiteral("Rinnovare l'abbonamento del treno prima della fine del mese corrente"),
                       std::nullopt, false},
            {}, {}, clock);
        QCOMPARE(card.rettangoloScheda().size(), PromemoriaCardView::kDimensione);
        const QRectF c = card.rettangoloScheda();
        QVERIFY(c.contains(QRectF(card.pulsanteDopo()->geometry())));
        QVERIFY(c.contains(QRectF(card.pulsanteFatto()->geometry())));
        QVERIFY(card.pulsanteDopo()->geometry().right() < card.pulsanteFatto()->geometry().left());
        QCOMPARE(clock.pending(), 0); // nothing pulses before it is shown
        card.show();
        QVERIFY(clock.pending() > 0);
        const QImage img = renderSuFondo(card, QStringLiteral("scheda-promemoria"));
        const QColor fondo = img.pixelColor(c.toRect().center() + QPoint(-40, 16));
        QVERIFY2(fondo.red() > 180 && fondo.green() > 90 && fondo.blue() < 80, qPrintable(fondo.name()));
        card.hide();
        QCOMPARE(clock.pending(), 0);
    }
};

QTEST_MAIN(TestSchedeAgenda)
#include "tst_SchedeAgenda.moc"
