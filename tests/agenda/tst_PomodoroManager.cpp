#include "FakeClock.h"
#include "FakeNotifiche.h"
#include "NotificheApp.h"
#include "NotificheDBus.h"
#include "PomodoroManager.h"
#include "ServizioNotificheFinto.h"
#include "SuonoAllarme.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records when the chime plays, on the fake clock, in a log shared with the
// app-wide notice so their order can be checked.
class SuonoFinto final : public SuonoAllarme {
public:
    SuonoFinto(const FakeClock& clock, QStringList& registro) : clock_(clock), registro_(registro) {}
    void suona() override
    {
        istanti.append(clock_.monotonic());
        registro_.append(QStringLiteral("suono"));
    }
    QList<double> istanti;

private:
    const FakeClock& clock_;
    QStringList& registro_;
};

struct Banco {
    FakeClock clock;
    QStringList registro;
    SuonoFinto suono{clock, registro};
    FakeNotifiche notifiche;
    PomodoroManager pomodoro;
    QMetaObject::Connection scaduto;
    explicit Banco(Notifiche* altre = nullptr) : pomodoro(clock, altre ? *altre : notifiche, suono)
    {
        scaduto = QObject::connect(&NotificheApp::shared(), &NotificheApp::focusTimerDidExpire,
                                   [this] { registro.append(QStringLiteral("FocusTimerDidExpire")); });
    }
    ~Banco() { QObject::disconnect(scaduto); }
    int scadenze() const { return int(registro.count(QStringLiteral("FocusTimerDidExpire"))); }
};

} // namespace

// The countdown with the fake clock; notices go to a fake daemon on the
// private session bus of the test.
class TestPomodoroManager : public QObject {
    Q_OBJECT
    ServizioNotificheFinto servizio;

private slots:
    void initTestCase() { QVERIFY(servizio.avvia()); }

    void aFreshManager()
    {
        Banco b;
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("25:00"));
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("READY"));
        QCOMPARE(b.pomodoro.completedSessions(), 0);
        QCOMPARE(b.pomodoro.currentMode(), TimerMode::pomodoro);
        QCOMPARE(b.pomodoro.totalTime(), 1500);
        QCOMPARE(b.notifiche.richieste, 1);
    }

    void formattedTime_data()
    {
        QTest::addColumn<int>("secondi");
        QTest::addColumn<QString>("testo");
        QTest::newRow("1500") << 1500 << "25:00";
        QTest::newRow("65") << 65 << "01:05";
        QTest::newRow("59") << 59 << "00:59";
        QTest::newRow("0") << 0 << "00:00";
        QTest::newRow("99:59") << 5999 << "99:59";
    }
    void formattedTime()
    {
        QFETCH(int, secondi);
        QFETCH(QString, testo);
        Banco b;
        b.pomodoro.setCurrentMode(TimerMode::custom);
        b.pomodoro.setCustomMinutes(secondi / 60);
        b.pomodoro.setCustomSeconds(secondi % 60);
        QCOMPARE(b.pomodoro.formattedTime(), testo);
    }

    void focusThenBreakThenFocus()
    {
        NotificheDBus notificheBus;
        QSignalSpy risposta(&notificheBus, &Notifiche::autorizzazione);
        QTest::ignoreMessage(QtInfoMsg, "Permessi di notifica accordati.");
        Banco b(&notificheBus);
        QVERIFY(risposta.wait(5000));
        QCOMPARE(risposta.at(0).at(0).toBool(), true);
        servizio.ricevuti.clear();

        b.pomodoro.startTimer();
        QVERIFY(b.pomodoro.isActive());
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("FOCUS SESSION"));
        b.clock.advance(1500);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("00:00"));
        QVERIFY(b.pomodoro.isActive());
        QCOMPARE(b.scadenze(), 0);

        b.clock.advance(1); // the tick after 00:00 completes the session
        QCOMPARE(b.pomodoro.completedSessions(), 1);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("05:00"));
        QCOMPARE(b.pomodoro.totalTime(), 300);
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("BREAK TIME"));
        QVERIFY(!b.pomodoro.isActive());
        QCOMPARE(b.pomodoro.sessionState(), PomodoroSessionState::stopped);
        QVERIFY(b.pomodoro.allarmeAttivo());
        QCOMPARE(b.registro.mid(0, 2), (QStringList{"FocusTimerDidExpire", "suono"}));
        QTRY_COMPARE_WITH_TIMEOUT(servizio.ricevuti.size(), 1, 5000);
        QCOMPARE(servizio.ricevuti[0].titolo, QStringLiteral("Sessione Completata!"));
        QCOMPARE(servizio.ricevuti[0].corpo, QStringLiteral("Ottimo lavoro. È il momento di una pausa."));

        b.clock.advance(60); // the break does not start by itself
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("05:00"));

        b.pomodoro.startTimer();
        QVERIFY(!b.pomodoro.allarmeAttivo());
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("BREAK TIME"));
        b.clock.advance(301);
        QCOMPARE(b.scadenze(), 2);
        QCOMPARE(b.pomodoro.completedSessions(), 1);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("25:00"));
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("READY"));
        QVERIFY(!b.pomodoro.isBreakSession());
        QTRY_COMPARE_WITH_TIMEOUT(servizio.ricevuti.size(), 2, 5000);
        QCOMPARE(servizio.ricevuti[1].titolo, QStringLiteral("Pausa Terminata"));
        QCOMPARE(servizio.ricevuti[1].corpo, QStringLiteral("Si torna al lavoro. Dai il massimo!"));
    }

    void pauseAndResumeFromTheSameSecond()
    {
        Banco b;
        b.pomodoro.startTimer();
        b.clock.advance(10);
        b.pomodoro.pauseTimer();
        QCOMPARE(b.pomodoro.sessionState(), PomodoroSessionState::running); // the caller sets paused
        b.pomodoro.setSessionState(PomodoroSessionState::paused);
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("PAUSED"));
        b.clock.advance(100);
        QCOMPARE(b.pomodoro.timeRemaining(), 1490);
        b.pomodoro.startTimer();
        b.clock.advance(1);
        QCOMPARE(b.pomodoro.timeRemaining(), 1489);

        // Playing while ticking starts no second ticker.
        const int attivi = b.clock.pending();
        b.pomodoro.startTimer();
        QCOMPARE(b.clock.pending(), attivi);
        b.clock.advance(1);
        QCOMPARE(b.pomodoro.timeRemaining(), 1488);

        b.pomodoro.setCurrentMode(TimerMode::custom);
        b.pomodoro.startTimer();
        b.clock.advance(5);
        b.pomodoro.pauseTimer();
        b.pomodoro.setSessionState(PomodoroSessionState::paused);
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("READY"));
    }

    void customCountdown()
    {
        Banco b;
        b.pomodoro.setCurrentMode(TimerMode::custom);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("10:00"));
        b.pomodoro.setCustomMinutes(0);
        b.pomodoro.setCustomSeconds(0);
        QCOMPARE(b.pomodoro.totalTime(), 0); // views guard the division
        b.pomodoro.startTimer();
        QVERIFY(!b.pomodoro.isActive());
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("READY"));

        b.pomodoro.setCustomSeconds(5);
        b.pomodoro.startTimer();
        QCOMPARE(b.pomodoro.statusText(), QStringLiteral("CUSTOM SESSION"));
        // Edits while it runs wait for the next start after completion.
        b.pomodoro.setCustomMinutes(2);
        QCOMPARE(b.pomodoro.totalTime(), 5);
        b.clock.advance(6);
        QCOMPARE(b.pomodoro.timeRemaining(), 0);
        QCOMPARE(b.pomodoro.totalTime(), 5);
        QCOMPARE(b.pomodoro.sessionState(), PomodoroSessionState::stopped);
        QCOMPARE(b.notifiche.inviate.size(), 1);
        QCOMPARE(b.notifiche.inviate[0].first, QStringLiteral("Timer Terminato"));
        QCOMPARE(b.notifiche.inviate[0].second, QStringLiteral("Il timer personalizzato è terminato."));
        QCOMPARE(b.scadenze(), 1);

        b.pomodoro.startTimer(); // reloads the custom length
        QCOMPARE(b.pomodoro.timeRemaining(), 125);
        QCOMPARE(b.pomodoro.totalTime(), 125);
        QVERIFY(b.pomodoro.isActive());
        b.clock.advance(3);
        QCOMPARE(b.pomodoro.timeRemaining(), 122);

        b.pomodoro.setCustomSeconds(30); // paused: kept, not applied
        QCOMPARE(b.pomodoro.timeRemaining(), 122);
        b.pomodoro.resetTimer();
        QCOMPARE(b.pomodoro.timeRemaining(), 150);
    }

    void switchingModeStopsEverythingButKeepsTheCount()
    {
        Banco b;
        b.pomodoro.startTimer();
        b.clock.advance(1501);
        QCOMPARE(b.pomodoro.completedSessions(), 1);
        QVERIFY(b.pomodoro.allarmeAttivo());
        b.pomodoro.setCurrentMode(TimerMode::custom);
        QVERIFY(!b.pomodoro.allarmeAttivo());
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("10:00"));
        b.pomodoro.startTimer();
        b.pomodoro.setCurrentMode(TimerMode::pomodoro);
        QVERIFY(!b.pomodoro.isActive());
        QCOMPARE(b.clock.pending(), 0);
        QCOMPARE(b.pomodoro.formattedTime(), QStringLiteral("25:00"));
        QVERIFY(!b.pomodoro.isBreakSession());
        QCOMPARE(b.pomodoro.completedSessions(), 1);
    }

    void theAlarmRingsEveryThreeSecondsForThreeMinutes_data()
    {
        QTest::addColumn<QString>("fermata"); // how it stops
        QTest::addColumn<int>("suoni");
        QTest::addColumn<double>("dopo"); // seconds watched after it stopped
        QTest::newRow("by itself") << "" << 60 << 300.0;
        QTest::newRow("stop button at 7 s") << "ferma" << 3 << 300.0;
        QTest::newRow("reset at 7 s") << "reset" << 3 << 300.0;
        // Play restarts the 1 s countdown, so only until its next end.
        QTest::newRow("play at 7 s") << "start" << 3 << 1.5;
    }
    void theAlarmRingsEveryThreeSecondsForThreeMinutes()
    {
        QFETCH(QString, fermata);
        QFETCH(int, suoni);
        QFETCH(double, dopo);
        Banco b;
        b.pomodoro.setCurrentMode(TimerMode::custom);
        b.pomodoro.setCustomMinutes(0);
        b.pomodoro.setCustomSeconds(1);
        b.pomodoro.startTimer();
        b.clock.advance(2);
        QVERIFY(b.pomodoro.allarmeAttivo());
        const double inizio = b.suono.istanti.value(0, -1);
        QCOMPARE(inizio, 2.0);

        if (!fermata.isEmpty()) {
            b.clock.advance(7);
            if (fermata == "ferma")
                b.pomodoro.fermaAllarme();
            else if (fermata == "start")
                b.pomodoro.startTimer();
            else
                b.pomodoro.resetTimer();
            QVERIFY(!b.pomodoro.allarmeAttivo());
        } else {
            b.clock.advance(179.9);
            QVERIFY(b.pomodoro.allarmeAttivo());
            b.clock.advance(0.1);
            QVERIFY(!b.pomodoro.allarmeAttivo());
        }
        b.clock.advance(dopo);
        QCOMPARE(b.suono.istanti.size(), suoni);
        for (int i = 0; i < suoni; ++i)
            QCOMPARE(b.suono.istanti[i] - inizio, 3.0 * i);
        QCOMPARE(b.scadenze(), 1);
    }

    void theChimeShipsInsideTheApplication()
    {
        QFile wav(QStringLiteral(":/agenda/allarme.wav"));
        QVERIFY(wav.open(QIODevice::ReadOnly));
        const QByteArray dati = wav.readAll();
        QVERIFY(dati.startsWith("RIFF") && dati.mid(8, 4) == "WAVE");
        QVERIFY(dati.size() > 44 + 44100); // at least half a second of 16-bit mono
    }

    void modeRawValues()
    {
        QCOMPARE(ModoTimer::rawValue(TimerMode::pomodoro), QStringLiteral("FOCUS MODE"));
        QCOMPARE(ModoTimer::daRaw("CUSTOM TIMER"), std::optional<TimerMode>(TimerMode::custom));
        QCOMPARE(ModoTimer::daRaw("FOCUS MODE"), std::optional<TimerMode>(TimerMode::pomodoro));
        QCOMPARE(ModoTimer::daRaw("focus mode"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestPomodoroManager)
#include "tst_PomodoroManager.moc"
