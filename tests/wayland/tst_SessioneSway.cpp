#include "AppRealeX11.h"
#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonObject>

// The real application in a headless sway session, beside a native window
// (foot) that has the focus: copies, the hot key, full screen and
// workspaces reach it from the compositor, not from XWayland.
class TestSessioneSway : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    QProcess foot;
    QProcess app;
    AppRealeX11::Righe righe{app};

    static QJsonDocument chiedi(uint32_t tipo, const QByteArray& corpo = {})
    {
        return SwayIpc::chiedi(SwayIpc::socket(), tipo, corpo).value_or(QJsonDocument());
    }
    static bool sway(const QByteArray& comando)
    {
        return chiedi(SwayIpc::comando, comando).array().first().toObject().value("success").toBool();
    }
    static QString focusSu(const QJsonObject& nodo)
    {
        if (nodo.value("focused").toBool())
            return nodo.value("app_id").toString();
        for (const char* figli : {"nodes", "floating_nodes"})
            for (const QJsonValue& f : nodo.value(figli).toArray())
                if (QString a = focusSu(f.toObject()); !a.isEmpty())
                    return a;
        return {};
    }
    // Control+Alt+N through a virtual keyboard, as a keyboard sends it to the focused window.
    static bool tastoCaldo()
    {
        return QProcess::execute(QStringLiteral("wtype"), {"-M", "ctrl", "-M", "alt", "n", "-m", "alt", "-m", "ctrl"})
               == 0;
    }

private slots:
    void initTestCase()
    {
        foot.start(QStringLiteral("foot"), {"-o", "dpi-aware=no", "sleep", "600"});
        QVERIFY(foot.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(focusSu(chiedi(SwayIpc::albero).object()), QStringLiteral("foot"), 5000);
        QVERIFY(AppRealeX11::segnaGuidaVista(casa));
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("HALVORA_DIAGNOSTICA", "1");
        env.insert("XDG_CONFIG_HOME", casa.filePath("config"));
        env.insert("XDG_DATA_HOME", casa.filePath("data"));
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(QStringLiteral(HALVORA_ESEGUIBILE));
        QVERIFY(righe.aspetta("scorciatoia libera", 10000));
        QVERIFY(righe.aspetta("pronta", 10000));
        // The panel never takes the focus from the native window.
        QCOMPARE(focusSu(chiedi(SwayIpc::albero).object()), QStringLiteral("foot"));
    }
    void cleanupTestCase()
    {
        app.terminate();
        app.waitForFinished(5000);
        foot.kill();
        foot.waitForFinished(5000);
    }

    void aNativeCopyIsInTheHistoryWithinASecond()
    {
        QElapsedTimer t;
        t.start();
        QCOMPARE(QProcess::execute(QStringLiteral("wl-copy"), {QStringLiteral("copiato da foot")}), 0);
        QVERIFY(righe.aspetta("appunti 1 copiato da foot", 1000));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    }

    void theHotKeyOpensAndClosesTheNotchOverANativeWindow()
    {
        QVERIFY(tastoCaldo());
        QVERIFY(righe.aspetta("stato aperta"));
        QVERIFY(tastoCaldo());
        QVERIFY(righe.aspetta("stato chiusa"));
    }

    void fullScreenAndWorkspacesComeFromTheCompositor()
    {
        QVERIFY(sway("[app_id=foot] fullscreen enable"));
        QVERIFY(righe.aspetta("schermo intero sì"));
        QVERIFY(sway("[app_id=foot] fullscreen disable"));
        QVERIFY(righe.aspetta("schermo intero no"));
        // A workspace change closes an open notch at once.
        QVERIFY(tastoCaldo());
        QVERIFY(righe.aspetta("stato aperta"));
        QVERIFY(sway("workspace 2"));
        QVERIFY(righe.aspetta("spazio cambiato"));
        QVERIFY(righe.aspetta("stato chiusa"));
        QVERIFY(sway("workspace 1"));
    }
};

QTEST_MAIN(TestSessioneSway)
#include "tst_SessioneSway.moc"
