#include "FakeClock.h"
#include "IstruzioniHook.h"
#include "SchemaURL.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace IstruzioniHook;

namespace {
QJsonObject hooks(const QString& testo)
{
    QJsonParseError errore;
    const QJsonDocument d = QJsonDocument::fromJson(testo.toUtf8(), &errore);
    if (errore.error != QJsonParseError::NoError)
        return {};
    return d.object().value("hooks").toObject();
}
QJsonObject primoHook(const QJsonObject& h, const char* evento)
{
    return h.value(evento).toArray().at(0).toObject().value("hooks").toArray().at(0).toObject();
}

// The hook looks for the application by process name. Tests run beside
// other copies of it (and of this test), so the fake instance gets a name of
// its own and the command is pointed at that name.
QString nomeFinto() { return QStringLiteral("hv%1").arg(QCoreApplication::applicationPid()); }

QString perIstanzaFinta(QString comando)
{
    return comando.replace(QStringLiteral("-x halvora "), QStringLiteral("-x %1 ").arg(nomeFinto()));
}

int esegui(const QString& comando, const QProcessEnvironment& env, const QByteArray& ingresso = {})
{
    QProcess sh;
    sh.setProcessEnvironment(env);
    sh.start("/bin/sh", {"-c", perIstanzaFinta(comando)});
    sh.write(ingresso);
    sh.closeWriteChannel();
    sh.waitForFinished(10000);
    return sh.exitStatus() == QProcess::NormalExit ? sh.exitCode() : -1;
}

QStringList attendiRighe(const QString& file, int timeoutMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) {
            const QString testo = QString::fromUtf8(f.readAll());
            if (testo.endsWith('\n'))
                return testo.trimmed().split('\n');
        }
        QTest::qWait(20);
    }
    return {};
}
} // namespace

class TestIstruzioniHook : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QProcess istanza;
    QProcessEnvironment env;

private slots:
    void initTestCase()
    {
        // A process named like the application, found by the hook.
        QVERIFY(comandoHook(FornitoreIA::claude, "finito").contains("pgrep -u \"$(id -u)\" -x halvora "));
        const QString finta = dir.filePath(nomeFinto());
        QVERIFY(QFile::copy(QStringLiteral(HALVORA_ISTANZA_FINTA), finta));
        QFile::setPermissions(finta, QFile::permissions(finta) | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HALVORA_FINTA_LOG", dir.filePath("log"));
    }
    void cleanupTestCase()
    {
        istanza.kill();
        istanza.waitForFinished();
    }

    void claudeConfiguration()
    {
        const QString testo = hookClaude();
        QVERIFY(!testo.contains("\\/"));
        const QJsonObject h = hooks(testo);
        QCOMPARE(h.keys(), QStringList({"Notification", "Stop"}));
        QCOMPARE(primoHook(h, "Stop").value("type").toString(), QStringLiteral("command"));
        QCOMPARE(primoHook(h, "Stop").value("command").toString(), comandoHook(FornitoreIA::claude, "finito"));
        QCOMPARE(primoHook(h, "Notification").value("command").toString(), comandoHook(FornitoreIA::claude, "attesa"));
        QCOMPARE(h.value("Notification").toArray().at(0).toObject().value("matcher").toString(),
                 QStringLiteral("permission_prompt|elicitation_dialog|agent_needs_input"));
        QVERIFY(!primoHook(h, "Stop").contains("timeout"));
        // Keys come sorted in the text itself.
        QVERIFY(testo.indexOf("\"Notification\"") < testo.indexOf("\"Stop\""));
    }

    void codexConfiguration()
    {
        const QJsonObject h = hooks(hookCodex());
        QCOMPARE(h.keys(), QStringList({"PermissionRequest", "Stop"}));
        QCOMPARE(primoHook(h, "Stop").value("command").toString(), comandoHook(FornitoreIA::codex, "finito"));
        QCOMPARE(primoHook(h, "PermissionRequest").value("command").toString(),
                 comandoHook(FornitoreIA::codex, "attesa"));
        QVERIFY(primoHook(h, "Stop").value("timeout").isDouble());
        QCOMPARE(primoHook(h, "Stop").value("timeout").toInt(), 10);
        QVERIFY(hookCodex().contains("\"timeout\": 10"));
    }

    void promptCarriesRequestThenConfiguration()
    {
        const QString p = promptInstallazioneHook(FornitoreIA::codex);
        QVERIFY(p.startsWith("Crea il file ~/.codex/hooks.json"));
        QVERIFY(p.contains("Non modificare la voce notify in ~/.codex/config.toml."));
        QVERIFY(p.endsWith(hookCodex()));
        QVERIFY(p.contains(".\n\n{"));
        QVERIFY(promptInstallazioneHook(FornitoreIA::claude).startsWith("Aggiungi questi hook"));
    }

    void commandDoesNothingWhenTheAppIsNotRunning()
    {
        QFile::remove(dir.filePath("log"));
        QProcessEnvironment e = env;
        e.insert("CLAUDE_PROJECT_DIR", "/tmp/progetto");
        QCOMPARE(esegui(comandoHook(FornitoreIA::claude, "finito"), e), 0);
        QTest::qWait(200);
        QVERIFY(!QFile::exists(dir.filePath("log")));
    }

    void claudeCommandHandsTheUrlToTheRunningApp()
    {
        istanza.setProcessEnvironment(env);
        istanza.start(dir.filePath(nomeFinto()), {});
        QVERIFY(istanza.waitForStarted());
        QFile::remove(dir.filePath("log"));
        QProcessEnvironment e = env;
        e.insert("CLAUDE_PROJECT_DIR", "/home/ada/mio progetto àè");
        e.insert("GIO_LAUNCHED_DESKTOP_FILE", "/usr/share/applications/org.gnome.Terminal.desktop");
        QCOMPARE(esegui(comandoHook(FornitoreIA::claude, "finito"), e), 0);
        const QStringList righe = attendiRighe(dir.filePath("log"));
        QCOMPARE(righe.size(), 1);
        const QUrl url = SchemaURL::urlDaTesti(righe).value(0);
        const auto evento = SchemaURL::eventoAgenteDaURL(url, {});
        QVERIFY(evento);
        QCOMPARE(evento->fornitore, FornitoreIA::claude);
        QCOMPARE(evento->progetto, std::optional<QString>("mio progetto àè"));
        QCOMPARE(QUrlQuery(url).queryItemValue("origine"), QStringLiteral("org.gnome.Terminal"));
        // The same front application drops the finished event.
        SchemaURL::Contesto c{[] { return QStringLiteral("org.gnome.Terminal"); }, {}};
        QVERIFY(!SchemaURL::eventoAgenteDaURL(url, c));
    }

    void codexCommandReadsTheFolderFromItsInput()
    {
        QVERIFY(istanza.state() == QProcess::Running);
        QFile::remove(dir.filePath("log"));
        QCOMPARE(esegui(comandoHook(FornitoreIA::codex, "attesa"), env, R"({"cwd": "/srv/lavoro/notch", "x": 1})"), 0);
        const QStringList righe = attendiRighe(dir.filePath("log"));
        QCOMPARE(righe.size(), 1);
        const auto evento = SchemaURL::eventoAgenteDaURL(SchemaURL::urlDaTesti(righe).value(0), {});
        QVERIFY(evento);
        QCOMPARE(evento->evento, SchemaURL::EventoAgente::Tipo::attesa);
        QCOMPARE(evento->progetto, std::optional<QString>("notch"));
    }

    void longFolderNamesAreNeverWrapped()
    {
        QVERIFY(istanza.state() == QProcess::Running);
        QFile::remove(dir.filePath("log"));
        QProcessEnvironment e = env;
        e.insert("CLAUDE_PROJECT_DIR", "/tmp/" + QString(120, 'n'));
        QCOMPARE(esegui(comandoHook(FornitoreIA::claude, "attesa"), e), 0);
        const QStringList righe = attendiRighe(dir.filePath("log"));
        QCOMPARE(righe.size(), 1);
        const auto evento = SchemaURL::eventoAgenteDaURL(SchemaURL::urlDaTesti(righe).value(0), {});
        QCOMPARE(evento->progetto, std::optional<QString>(QString(40, 'n')));
    }
};

QTEST_GUILESS_MAIN(TestIstruzioniHook)
#include "tst_IstruzioniHook.moc"
