// The hot key of the real application in a Wayland session (sway or KWin,
// started headless by ctest), over a native window that has the keyboard
// and tells the keys it gets (halvora-finestra-wl): the desktop holds
// Control+Alt+N for the panel while it runs and gives it back to the
// programs when the panel quits (also when its display goes or it is
// killed), or, after a panel killed with its watcher, when the next one
// starts with the key switched off.
#include "AppRealeX11.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <csignal>

namespace {

// A loaded machine runs many sessions at once: wait generously.
constexpr int kAttesa = 15000;

bool inSway()
{
    return !qEnvironmentVariableIsEmpty("SWAYSOCK");
}

// The names KDE's shortcut settings show for our action.
QStringList nomiKde()
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("org.kde.kglobalaccel"),
                                                    QStringLiteral("/component/halvora"),
                                                    QStringLiteral("org.kde.kglobalaccel.Component"),
                                                    QStringLiteral("allShortcutInfos"));
    const QDBusMessage r = QDBusConnection::sessionBus().call(m);
    QStringList nomi;
    if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
        return nomi;
    const auto a = r.arguments().first().value<QDBusArgument>();
    a.beginArray();
    while (!a.atEnd()) {
        a.beginStructure();
        for (int i = 0; i < 6; ++i) {
            QString s;
            a >> s;
            nomi << s;
        }
        QList<int> tasti, predefiniti;
        a >> tasti >> predefiniti;
        a.endStructure();
    }
    a.endArray();
    return nomi;
}

// The XWayland server of this session's display.
qint64 serverX()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> argomenti = f.readAll().split('\0');
        if (argomenti.size() > 1 && argomenti[0].endsWith("Xwayland") && argomenti.contains(display.toUtf8()))
            return pid.toLongLong();
    }
    return 0;
}

// Kills `app` at once, and first the watcher it started to give the key
// back after it (a shell running it again with --libera-tasto), when asked.
bool uccidi(QProcess& app, bool ancheIlCustode)
{
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid)), riga(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!ancheIlCustode || !stat.open(QIODevice::ReadOnly) || !riga.open(QIODevice::ReadOnly))
            continue;
        // pid (comm) state ppid: the name may hold spaces.
        const QByteArray s = stat.readAll();
        const QList<QByteArray> dopo = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (dopo.value(1).toLongLong() == app.processId() && riga.readAll().contains("--libera-tasto"))
            ::kill(pid.toInt(), SIGKILL);
    }
    app.kill();
    return app.waitForFinished(kAttesa);
}

} // namespace

class TestTastoDesktop : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess nativa, mano;
    std::unique_ptr<AppRealeX11::Righe> fatto;
    QByteArray daLeggere;

    // Control+Alt+N, as a keyboard sends it to the focused window.
    void premi()
    {
        if (inSway()) {
            QCOMPARE(QProcess::execute(QStringLiteral("wtype"), {"-M", "ctrl", "-M", "alt", "n", "-m", "alt", "-m", "ctrl"}),
                     0);
            return;
        }
        mano.write("tasti 29+56+49\n"); // KEY_LEFTCTRL, KEY_LEFTALT, KEY_N
        QVERIFY(fatto->aspetta(QStringLiteral("ok"), kAttesa));
    }
    // Whether a key held with Control and Alt reached the native window within `ms`.
    bool arrivato(int ms)
    {
        QElapsedTimer t;
        t.start();
        do {
            nativa.waitForReadyRead(50);
            daLeggere += nativa.readAll();
            for (qsizetype a; (a = daLeggere.indexOf('\n')) >= 0;) {
                const QByteArray riga = daLeggere.left(a);
                daLeggere.remove(0, a + 1);
                if (riga.startsWith("tasto ") && riga.endsWith(" 12"))
                    return true;
            }
        } while (t.elapsed() < ms);
        return false;
    }
    // Presses until the native window gets the key, a few times: the
    // application may still be telling the desktop.
    bool arrivaEntro(int volte)
    {
        for (int i = 0; i < volte; ++i) {
            premi();
            if (arrivato(1000))
                return true;
        }
        return false;
    }
    // Starts the application with the hot key switched on (returning once
    // it holds the key) or off.
    void avvia(QProcess& app, std::unique_ptr<AppRealeX11::Righe>& righe, bool attiva)
    {
        QVERIFY(AppRealeX11::segnaGuidaVista(casa));
        QFile ini(casa.filePath(QStringLiteral("config/Halvora/Halvora.ini")));
        QVERIFY(ini.open(QIODevice::Append));
        // In English, so that KDE shows the action's name translated.
        ini.write(QByteArray("lingueApplicazione=en\nscorciatoiaTaccaAttiva=") + (attiva ? "true\n" : "false\n"));
        ini.close();
        auto env = AppRealeX11::ambiente(casa);
        // The desktop runs the key's command with the session's own folder,
        // where the running copy must be found.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
        // On KWin, as Plasma: KWin's global shortcuts, not an X11 grab.
        righe = std::make_unique<AppRealeX11::Righe>(app);
        QVERIFY(AppRealeX11::avviaSuWayland(app, *righe, env, QStringLiteral(HALVORA_ESEGUIBILE), kAttesa));
        if (attiva)
            QVERIFY(righe->aspetta(QStringLiteral("scorciatoia presa"), kAttesa));
    }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<QList<int>>();
        if (!inSway()) {
            mano.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            mano.start(qEnvironmentVariable("HALVORA_PUNTATORE_WL"), {QStringLiteral("-")});
            fatto = std::make_unique<AppRealeX11::Righe>(mano);
        }
        nativa.start(QStringLiteral(HALVORA_FINESTRA_WL));
        QVERIFY(nativa.waitForReadyRead(kAttesa));
        QVERIFY(nativa.readLine().trimmed() == "pronta");
        // The native window has the keyboard.
        QVERIFY(arrivaEntro(3));
    }

    void theDesktopHoldsTheKeyWhileThePanelRunsAndGivesItBackAtQuit()
    {
        QProcess app;
        std::unique_ptr<AppRealeX11::Righe> righe;
        avvia(app, righe, true);
        // What a dead copy's watcher runs leaves a running copy's key alone.
        QProcess custode;
        custode.setProcessEnvironment(app.processEnvironment());
        custode.start(QStringLiteral(HALVORA_ESEGUIBILE), {QStringLiteral("--libera-tasto")});
        QVERIFY(custode.waitForFinished(kAttesa));
        premi();
        QVERIFY2(righe->aspetta(QStringLiteral("stato aperta"), kAttesa),
                 arrivato(0) ? "the native window got the press" : "nobody got the press");
        premi();
        QVERIFY(righe->aspetta(QStringLiteral("stato chiusa"), kAttesa));
        QVERIFY(!arrivato(0)); // the desktop kept both presses for the panel
        if (!inSway())
            QVERIFY2(nomiKde().contains(QStringLiteral("Open and close the notch")), qPrintable(nomiKde().join(", ")));

        app.terminate();
        QVERIFY(app.waitForFinished(kAttesa));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        // A few presses: the keyboard's focus may take a moment to come back from the panel.
        QVERIFY(arrivaEntro(3));
    }

    void aKilledPanelGivesTheKeyBack()
    {
        QProcess morta;
        std::unique_ptr<AppRealeX11::Righe> righe;
        avvia(morta, righe, true);
        QVERIFY(uccidi(morta, false));
        QVERIFY(arrivaEntro(3));
    }

    // Its watcher killed as well, the registration stays until a panel starts.
    void aPanelStartedSwitchedOffRemovesWhatAKilledOneLeft()
    {
        QProcess morta, app;
        std::unique_ptr<AppRealeX11::Righe> righe;
        avvia(morta, righe, true);
        QVERIFY(uccidi(morta, true));
        if (!inSway()) { // on sway a press would free it already (below)
            premi();
            QVERIFY(!arrivato(1000));
        }

        avvia(app, righe, false);
        QVERIFY(arrivaEntro(5));
        app.terminate();
        QVERIFY(app.waitForFinished(kAttesa));
    }

    // sway runs a command for the key: with no panel to hand the press to,
    // it frees the key that a killed panel and its watcher left, for the
    // presses after it.
    void onSwayTheFirstPressAfterAKilledPanelFreesTheKey()
    {
        if (!inSway())
            QSKIP("KDE runs no command for the key");
        QProcess morta;
        std::unique_ptr<AppRealeX11::Righe> righe;
        avvia(morta, righe, true);
        QVERIFY(uccidi(morta, true));
        premi();
        QVERIFY(!arrivato(1000));
        QVERIFY(arrivaEntro(3));
    }

    // Last: the session's XWayland goes, and the application with it, from
    // inside the toolkit.
    void losingTheDisplayGivesTheKeyBack()
    {
        QProcess app;
        std::unique_ptr<AppRealeX11::Righe> righe;
        avvia(app, righe, true);
        const qint64 xwayland = serverX();
        QVERIFY(xwayland > 0);
        QCOMPARE(::kill(pid_t(xwayland), SIGKILL), 0);
        // The toolkit ends it from inside (exit), with the key already given back.
        QVERIFY(app.waitForFinished(kAttesa));
        QVERIFY(arrivaEntro(3));
    }

    void cleanupTestCase()
    {
        mano.closeWriteChannel();
        for (QProcess* p : {&nativa, &mano}) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
        }
    }
};

// Not a client of XWayland itself: the test outlives it.
QTEST_GUILESS_MAIN(TestTastoDesktop)
#include "tst_TastoDesktop.moc"
