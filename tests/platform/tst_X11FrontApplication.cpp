#include "DesktopEntries.h"
#include "X11Desktop.h"
#include "X11FrontApplication.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {
bool esegui(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    return p.waitForFinished(5000) && p.exitCode() == 0;
}
} // namespace

// Runs on a real X server with a window manager.
class TestX11FrontApplication : public QObject {
    Q_OBJECT
    QTemporaryDir voci;

private slots:
    void activeWindowMapsToItsDesktopEntry()
    {
        X11Desktop desktop;
        QVERIFY(desktop.connesso());
        QFile f(voci.filePath("it.esempio.Prova.desktop"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=Prova\nStartupWMClass=tst_X11FrontApplication\n");
        f.close();
        const auto entries = DesktopEntries::daCartelle({voci.path()});
        X11FrontApplication front(desktop, entries);
        QSignalSpy spy(&front, &FrontApplication::changed);

        QWidget w;
        w.setWindowTitle("prova-front");
        w.resize(200, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        esegui("xdotool", {"windowactivate", "--sync", QString::number(w.winId())});
        QTRY_COMPARE_WITH_TIMEOUT(front.currentId(), QStringLiteral("it.esempio.Prova"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 1, 5000);
        QCOMPARE(front.current()->pid, QCoreApplication::applicationPid());
        QCOMPARE(front.current()->nome, QStringLiteral("Prova"));
    }

    void fullScreenAndDesktopChangesAreSeen()
    {
        X11Desktop desktop;
        QSignalSpy attiva(&desktop, &X11Desktop::finestraAttivaCambiata);
        QWidget w;
        w.resize(200, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        esegui("xdotool", {"windowactivate", "--sync", QString::number(w.winId())});
        // The state of a window is watched once its activation has been seen.
        QTRY_VERIFY_WITH_TIMEOUT(attiva.count() >= 1 && desktop.finestraAttiva() == uint32_t(w.winId()), 5000);
        QTest::qWait(50);
        QSignalSpy stato(&desktop, &X11Desktop::statoFinestraAttivaCambiato);
        QVERIFY(!desktop.schermoIntero(desktop.finestraAttiva()));
        QVERIFY(esegui("wmctrl", {"-r", ":ACTIVE:", "-b", "add,fullscreen"}));
        QTRY_VERIFY_WITH_TIMEOUT(desktop.schermoIntero(desktop.finestraAttiva()), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(stato.count() >= 1, 5000);

        QSignalSpy cambio(&desktop, &X11Desktop::desktopCambiato);
        const int prima = desktop.desktopCorrente();
        QVERIFY(prima >= 0);
        QVERIFY(esegui("wmctrl", {"-s", QString::number(prima == 0 ? 1 : 0)}));
        QTRY_VERIFY_WITH_TIMEOUT(cambio.count() >= 1, 5000);
        QVERIFY(desktop.desktopCorrente() != prima);
    }
};

QTEST_MAIN(TestX11FrontApplication)
#include "tst_X11FrontApplication.moc"
