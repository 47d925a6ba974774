#include "MonitorSchermoIntero.h"
#include "X11Desktop.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

// On a virtual display with a window manager: a window of the test goes
// full screen and back through the window manager, as a user's would.
class TestMonitorSchermoIntero : public QObject {
    Q_OBJECT

    static void wmctrl(const QString& azione)
    {
        QProcess::execute(QStringLiteral("wmctrl"),
                          {QStringLiteral("-r"), QStringLiteral(":ACTIVE:"), QStringLiteral("-b"), azione});
    }

private slots:
    void followsTheActiveWindowsFullScreenState()
    {
        X11Desktop desktop;
        QVERIFY(desktop.connesso());
        MonitorSchermoIntero monitor(desktop);
        QSignalSpy spy(&monitor, &MonitorSchermoIntero::attivoChanged);
        QWidget finestra;
        finestra.setWindowTitle(QStringLiteral("prova"));
        finestra.resize(400, 300);
        finestra.show();
        finestra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        QTRY_COMPARE(desktop.finestraAttiva(), static_cast<uint32_t>(finestra.winId()));
        QVERIFY(!monitor.attivo());

        wmctrl(QStringLiteral("add,fullscreen"));
        QTRY_VERIFY(monitor.attivo());
        QCOMPARE(spy.count(), 1);
        wmctrl(QStringLiteral("add,above")); // another state change, still full screen
        QTest::qWait(200);
        QCOMPARE(spy.count(), 1); // published only on change
        wmctrl(QStringLiteral("remove,fullscreen"));
        QTRY_VERIFY(!monitor.attivo());
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_MAIN(TestMonitorSchermoIntero)
#include "tst_MonitorSchermoIntero.moc"
