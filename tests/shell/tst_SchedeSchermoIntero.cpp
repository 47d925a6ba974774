#include "ArchivioCalendario.h"
#include "AttivitaManager.h"
#include "CalendarioManager.h"
#include "CodaArchivio.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "FakeNotifiche.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "PomodoroManager.h"
#include "PromemoriaCardView.h"
#include "RegistrazioneCardView.h"
#include "RootNotchView.h"
#include "SlotScheda.h"
#include "SuonoAllarme.h"
#include "TimerCardView.h"
#include "UserDefaults.h"
#include "VoiceManager.h"
#include "X11Desktop.h"
#include "SuonoMuto.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// On a virtual display with a window manager: a window of the test goes
// full screen, and only the cards that must be answered stay under the notch.
class TestSchedeSchermoIntero : public QObject {
    Q_OBJECT

    static void wmctrl(const QString& azione)
    {
        QProcess::execute(QStringLiteral("wmctrl"),
                          {QStringLiteral("-r"), QStringLiteral(":ACTIVE:"), QStringLiteral("-b"), azione});
    }

private slots:
    void inFullScreenOnlyTheRingingTimerAndTheDueReminderShow()
    {
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir dir;
        FakeClock clock;
        NotchStateManager stato{clock};
        AttivitaManager attivita{clock};
        UserDefaults impostazioni(dir.filePath(QStringLiteral("t.ini")));
        X11Desktop desktop;
        QVERIFY(desktop.connesso());
        FakeBackendAudio audio;
        FakeNotifiche notifiche;
        SuonoMuto suono;
        FabbricaManager f;
        f.voice = [&] { return std::make_unique<VoiceManager>(audio, clock, dir.filePath(QStringLiteral("doc"))); };
        f.pomodoro = [&] { return std::make_unique<PomodoroManager>(clock, notifiche, suono); };
        f.calendario = [&] {
            return std::make_unique<CalendarioManager>(
                clock, impostazioni, std::make_shared<ArchivioCalendario>(dir.filePath(QStringLiteral("cal"))));
        };
        RootNotchView root(stato, attivita, QSize(800, 600),
                           {clock, impostazioni, desktop, NotchGeometry::Posizione::corrente(), {}, std::move(f)});
        auto* slot = root.slot();
        PomodoroManager& pomodoro = *root.pomodoroManager();
        pomodoro.setCurrentMode(TimerMode::custom);
        pomodoro.setCustomMinutes(0);
        pomodoro.setCustomSeconds(2);
        pomodoro.startTimer();
        QVERIFY(qobject_cast<TimerCardView*>(slot->scheda()));

        QWidget finestra;
        finestra.setWindowTitle(QStringLiteral("a tutto schermo"));
        finestra.resize(400, 300);
        finestra.show();
        finestra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        QTRY_COMPARE(desktop.finestraAttiva(), static_cast<uint32_t>(finestra.winId()));
        wmctrl(QStringLiteral("add,fullscreen"));
        QTRY_VERIFY(root.monitorSchermoIntero().attivo());
        QVERIFY(!slot->scheda()); // the counting timer is a persistent card
        QVERIFY(!stato.isSchedaVisibile());

        root.voiceManager()->startRecording();
        QTRY_VERIFY(stato.registrazioneAttiva());
        QVERIFY(!slot->scheda());
        QVERIFY(!stato.schedaRichiedeClick());

        clock.advance(3); // the countdown ends and the alarm rings
        auto* timer = qobject_cast<TimerCardView*>(slot->scheda());
        QVERIFY(timer && timer->inAllarme());
        QVERIFY(stato.isSchedaVisibile());
        QVERIFY(stato.schedaRichiedeClick());
        QTest::mouseClick(timer->pulsanteFerma(), Qt::LeftButton);
        QVERIFY(!slot->scheda());
        QVERIFY(!stato.schedaRichiedeClick());

        root.calendarioManager()->setDaAvvisare(
            Promemoria{QStringLiteral("p"), QStringLiteral("Chiamare Anna"), std::nullopt, false});
        QVERIFY(qobject_cast<PromemoriaCardView*>(slot->scheda()));
        QVERIFY(stato.isSchedaVisibile());
        QVERIFY(stato.schedaRichiedeClick());

        wmctrl(QStringLiteral("remove,fullscreen"));
        QTRY_VERIFY(!root.monitorSchermoIntero().attivo());
        QVERIFY(qobject_cast<PromemoriaCardView*>(slot->scheda()));
        root.calendarioManager()->setDaAvvisare(std::nullopt);
        QVERIFY(qobject_cast<RegistrazioneCardView*>(slot->scheda())); // back to the persistent card
        QVERIFY(stato.schedaRichiedeClick());
    }
};

QTEST_MAIN(TestSchedeSchermoIntero)
#include "tst_SchedeSchermoIntero.moc"
