// The real application, on a virtual display, told through its settings page
// to speak English: it starts a new copy of itself, leaves, and the new copy
// answers in English.
#include "AppRealeX11.h"
#include "NotchStateManager.h"
#include "TestOutput.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using AppRealeX11::xdotool;

// The language menu: the first row, from the top of the page's right half,
// of a wide even run lighter than what lies on both sides of it. Empty when
// there is none.
QRect trovaMenuLingua(const QImage& img, const QRect& pannello)
{
    auto grigio = [&](int x, int y) { return qGray(img.pixel(x, y)); };
    const int inizioScansione = pannello.center().x() + 10;
    for (int y = pannello.top() + 60; y < pannello.top() + 260; ++y) {
        int inizio = inizioScansione;
        for (int x = inizioScansione + 1; x <= pannello.right() - 10; ++x) {
            if (std::abs(grigio(x, y) - grigio(inizio, y)) <= 1)
                continue;
            const int fine = x - 1;
            if (fine - inizio >= 100 && inizio > inizioScansione && grigio(inizio, y) > grigio(inizio - 3, y) + 6
                && grigio(fine, y) > grigio(fine + 3, y) + 6)
                return QRect(QPoint(inizio, y), QPoint(fine, y + 20));
            inizio = x;
        }
    }
    return {};
}

} // namespace

class TestRiavvioLinguaX11 : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess app;
    int letto = 0;

    QProcessEnvironment ambiente() const
    {
        auto env = AppRealeX11::ambiente(casa);
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("it"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("it_IT.UTF-8"));
        return env;
    }
    QString uscita() const { return casa.filePath(QStringLiteral("uscita.txt")); }

    // Waits for the next line of the shared output equal to `riga`. Both
    // copies write there: the new one inherits the old one's output.
    bool aspetta(const QString& riga, int ms = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QFile f(uscita());
            if (f.open(QIODevice::ReadOnly)) {
                const QStringList righe = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
                while (letto < righe.size() - 1)
                    if (righe[letto++].trimmed() == riga)
                        return true;
            }
            QTest::qWait(50);
        }
        return false;
    }

    // The copies of the application started for this test, by their environment.
    QList<qint64> copie() const
    {
        QList<qint64> pid;
        const QByteArray segno = "XDG_RUNTIME_DIR=" + casa.path().toUtf8();
        for (const QString& voce : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool numero = false;
            const qint64 p = voce.toLongLong(&numero);
            if (!numero)
                continue;
            QFile exe(QStringLiteral("/proc/%1/cmdline").arg(p)), env(QStringLiteral("/proc/%1/environ").arg(p));
            if (!exe.open(QIODevice::ReadOnly) || !env.open(QIODevice::ReadOnly))
                continue;
            if (exe.readAll().startsWith(QByteArray(HALVORA_ESEGUIBILE)) && env.readAll().split('\0').contains(segno))
                pid << p;
        }
        return pid;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        QVERIFY(AppRealeX11::segnaGuidaVista(casa));
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("700")});
    }

    void choosingEnglishRelaunchesIntoEnglish()
    {
        app.setProcessEnvironment(ambiente());
        app.setStandardOutputFile(uscita(), QIODevice::Append);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(HALVORA_ESEGUIBILE), {});
        QVERIFY(app.waitForStarted());
        QVERIFY(aspetta(QStringLiteral("pronta")));
        const qint64 vecchia = app.processId();

        // Open the notch under the pointer, turn it to the settings page.
        QTest::qWait(500); // the panel is placed and tracked
        xdotool({QStringLiteral("mousemove"), QStringLiteral("960"), QStringLiteral("10")});
        QVERIFY(aspetta(QStringLiteral("stato aperta")));
        QTest::qWait(1200);
        const QSize d = NotchStateManager::dimensioneScheda(NotchTab::tray).toSize();
        const QRect pannello(960 - d.width() / 2, 0, d.width(), d.height());
        xdotool({QStringLiteral("mousemove"), QString::number(pannello.right() - 28), QStringLiteral("28")});
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        // The page takes its own size as it turns.
        const QSize p = NotchStateManager::kDimensioneImpostazioni.toSize();
        const QRect pagina(960 - p.width() / 2, 0, p.width(), p.height());
        // The turn settles whenever a loaded machine lets it: look until the menu shows.
        QImage img;
        QRect menu;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(menu = trovaMenuLingua(img = QGuiApplication::primaryScreen()->grabWindow(0).toImage(), pagina))
                 .isEmpty(),
            10000);
        QTest::qWait(300); // one more frame, so the menu is not caught mid-turn
        img = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        img.save(QDir(cartellaOutputTest()).filePath(QStringLiteral("riavvio-impostazioni.png")));
        menu = trovaMenuLingua(img, pagina);
        QVERIFY2(!menu.isEmpty(), "no language menu on the settings page");

        // Pick "English": the entries are the system's, Italiano, English, Español.
        // Keys go to the list only once it is open, else they would change the
        // choice one entry at a time.
        const QRect intorno = menu.adjusted(-20, -120, 20, 160);
        auto zona = [&] {
            return QGuiApplication::primaryScreen()
                ->grabWindow(0, intorno.x(), intorno.y(), intorno.width(), intorno.height())
                .toImage();
        };
        xdotool({QStringLiteral("mousemove"), QString::number(menu.center().x()), QString::number(menu.top() + 9)});
        QTest::qWait(300); // the menu's look under the pointer
        const QImage chiuso = zona();
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(zona() != chiuso, 10000);
        QTest::qWait(300);
        xdotool({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});

        // A new copy starts and the old one leaves.
        QVERIFY(aspetta(QStringLiteral("pronta"), 30000));
        QTRY_COMPARE_WITH_TIMEOUT(app.state(), QProcess::NotRunning, 10000);
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QTRY_COMPARE_WITH_TIMEOUT(copie().size(), 1, 10000);
        const qint64 nuova = copie().first();
        QVERIFY(nuova != vecchia);
        QSettings ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("linguaInterfaccia")).toString(), QStringLiteral("en"));

        // The new copy speaks English: an agent's notice handed to it.
        QProcess seconda;
        seconda.setProcessEnvironment(ambiente());
        seconda.start(QStringLiteral(HALVORA_ESEGUIBILE), {QStringLiteral("halvora://agente?fornitore=claude&evento=finito")});
        QVERIFY(seconda.waitForFinished(10000));
        QVERIFY(aspetta(QStringLiteral("attivita Claude has finished")));
    }

    void cleanupTestCase()
    {
        if (app.state() != QProcess::NotRunning)
            app.kill();
        for (qint64 p : copie())
            QProcess::execute(QStringLiteral("kill"), {QString::number(p)});
        QTRY_VERIFY_WITH_TIMEOUT(copie().isEmpty(), 5000);
    }
};

QTEST_MAIN(TestRiavvioLinguaX11)
#include "tst_RiavvioLinguaX11.moc"
