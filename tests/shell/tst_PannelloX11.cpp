// Drives the real application on a virtual X display with a window manager
// and a compositor, as a user would with pointer and keyboard.
#include "TestOutput.h"
#include "X11TastoGlobale.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

void xdotool(const QStringList& argomenti)
{
    QProcess::execute(QStringLiteral("xdotool"), argomenti);
}

bool scuro(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 70;
}

// A window of the test lying under the panel, counting the presses it gets.
class Sotto : public QWidget {
public:
    int pressioni = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++pressioni; }
};

} // namespace

class TestPannelloX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess app;
    QStringList righe;
    int letto = 0;

    QProcessEnvironment ambiente()
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HALVORA_DIAGNOSTICA"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), casa.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), casa.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), casa.path());
        return env;
    }

    void avvia(QProcess& p, const QStringList& argomenti = {})
    {
        p.setProcessEnvironment(ambiente());
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral(HALVORA_ESEGUIBILE), argomenti);
        QVERIFY(p.waitForStarted());
    }

    // Waits for the next diagnostic line equal to `riga`; the seconds it took.
    double aspetta(const QString& riga, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            while (app.canReadLine())
                righe << QString::fromUtf8(app.readLine()).trimmed();
            while (letto < righe.size())
                if (righe[letto++] == riga)
                    return t.elapsed() / 1000.0;
            app.waitForReadyRead(20);
            QCoreApplication::processEvents();
        }
        return -1;
    }

    QImage schermata(const QString& nome)
    {
        QTest::qWait(50);
        const QImage img = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
        return img;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-n"), QStringLiteral("2")});
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("700")});
        avvia(app);
        QVERIFY(aspetta(QStringLiteral("pronta"), 10000) >= 0);
    }

    void stripHangsAtTopCentre()
    {
        QTest::qWait(300);
        const QImage img = schermata(QStringLiteral("pannello-chiuso"));
        QVERIFY(scuro(img, 960, 16));
        QVERIFY(scuro(img, 872, 16));
        QVERIFY(!scuro(img, 866, 16)); // 180 wide: 870..1050
        QVERIFY(!scuro(img, 960, 40)); // 32 high, no card under it
    }

    void hoverOpensAtTheTabSizeAndLeavingCloses()
    {
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("10")});
        QVERIFY(aspetta(QStringLiteral("stato aperta")) >= 0);
        QTest::qWait(1500); // the spring settles, also on a busy machine
        const QImage img = schermata(QStringLiteral("pannello-aperto"));
        QVERIFY(scuro(img, 735, 200)); // tray: 460 by 390, 730..1190
        QVERIFY(!scuro(img, 722, 200));
        QVERIFY(scuro(img, 960, 385));
        QVERIFY(!scuro(img, 960, 410));
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("700")});
        const double s = aspetta(QStringLiteral("stato chiusa"));
        QVERIFY2(s >= 0.15 && s < 1.0, qPrintable(QString::number(s)));
    }

    void clicksOutsideTheLiveRegionsReachTheWindowBelow()
    {
        Sotto sotto;
        sotto.setGeometry(600, 100, 720, 400); // under the panel's 800 by 600 frame
        sotto.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sotto));
        QTest::qWait(200);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("300")});
        QTest::qWait(100);
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_COMPARE(sotto.pressioni, 1);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("700")});
    }

    void laterLaunchHandsItsNoticeOver()
    {
        QProcess seconda;
        avvia(seconda, {QStringLiteral("halvora://attivita?titolo=Ciao&durata=3")});
        QVERIFY(seconda.waitForFinished(5000));
        QCOMPARE(seconda.exitCode(), 0);
        QVERIFY(aspetta(QStringLiteral("attivita Ciao")) >= 0);
        QElapsedTimer mostrato;
        mostrato.start();
        QTest::qWait(600);
        const QImage img = schermata(QStringLiteral("avviso-ciao"));
        QVERIFY(scuro(img, 960, 63)); // the card hangs 8 under the strip: 40..86
        QVERIFY(aspetta(QStringLiteral("attivita nessuna")) >= 0);
        const double s = mostrato.elapsed() / 1000.0;
        QVERIFY2(s > 2.8 && s < 4.0, qPrintable(QString::number(s)));
    }

    void agentEventShowsItsNotice()
    {
        QProcess seconda;
        avvia(seconda, {QStringLiteral("halvora://agente?fornitore=claude&evento=finito")});
        QVERIFY(seconda.waitForFinished(5000));
        QVERIFY(aspetta(QStringLiteral("attivita Claude ha finito")) >= 0);
        QTest::qWait(600);
        schermata(QStringLiteral("avviso-agente"));
    }

    void hotKeyTogglesAndAClickElsewhereCloses()
    {
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+n")});
        QVERIFY(aspetta(QStringLiteral("stato aperta")) >= 0);
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+n")});
        QVERIFY(aspetta(QStringLiteral("stato chiusa")) >= 0);
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+n")});
        QVERIFY(aspetta(QStringLiteral("stato aperta")) >= 0);
        QTest::qWait(300); // a hot-key opening ignores the pointer being away
        QVERIFY(aspetta(QStringLiteral("stato chiusa"), 300) < 0);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("900")});
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QVERIFY(aspetta(QStringLiteral("stato chiusa")) >= 0);
    }

    void switchingDesktopCloses()
    {
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+n")});
        QVERIFY(aspetta(QStringLiteral("stato aperta")) >= 0);
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-s"), QStringLiteral("1")});
        QVERIFY(aspetta(QStringLiteral("stato chiusa")) >= 0);
        QProcess::execute(QStringLiteral("wmctrl"), {QStringLiteral("-s"), QStringLiteral("0")});
    }

    void quittingFreesTheKeyAndAHeldKeyIsTaken()
    {
        app.terminate();
        QVERIFY(app.waitForFinished(5000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        X11TastoGlobale altro;
        QVERIFY(altro.registra()); // nothing was left grabbed
        righe.clear();
        letto = 0;
        avvia(app);
        QVERIFY(aspetta(QStringLiteral("pronta"), 10000) >= 0);
        QVERIFY(righe.contains(QStringLiteral("scorciatoia occupata")));
        app.terminate();
        QVERIFY(app.waitForFinished(5000));
    }

    void cleanupTestCase()
    {
        if (app.state() != QProcess::NotRunning) {
            app.kill();
            app.waitForFinished();
        }
    }
};

QTEST_MAIN(TestPannelloX11)
#include "tst_PannelloX11.moc"
