// The quarantine service against real extended attributes, driven through
// the application's own client from inside a signed test bundle, and by
// peers it must not answer.
#include "BundleProva.h"
#include "Quarantena.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using Istantanea = QMap<QString, QMap<QByteArray, QByteArray>>;

const QByteArray kOrigine = "https://example.org/Halvora.zip";
constexpr uid_t kNessuno = 65534;

QByteArray nativo(const QString& p)
{
    return QFile::encodeName(p);
}

bool haAttributiUtente(const QString& cartella)
{
    const QString f = cartella + QStringLiteral("/prova-attributi");
    QFile(f).open(QIODevice::WriteOnly);
    const bool ok = ::setxattr(nativo(f).constData(), Quarantena::kAttributi[0], "x", 1, 0) == 0;
    QFile::remove(f);
    return ok;
}

// Every folder and file below `radice` (links are passed over: they cannot
// carry user attributes).
QStringList voci(const QString& radice)
{
    QStringList elenco{radice};
    QDirIterator it(radice, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (!it.fileInfo().isSymLink())
            elenco << p;
    }
    return elenco;
}

void marca(const QString& radice)
{
    for (const QString& p : voci(radice))
        for (const char* a : Quarantena::kAttributi)
            ::lsetxattr(nativo(p).constData(), a, kOrigine.constData(), kOrigine.size(), 0);
}

// Every user attribute below `radice`, name and value, by path.
Istantanea istantanea(const QString& radice)
{
    Istantanea tutto;
    for (const QString& p : voci(radice)) {
        char nomi[4096];
        const ssize_t n = ::llistxattr(nativo(p).constData(), nomi, sizeof nomi);
        for (ssize_t i = 0; i < n; i += static_cast<ssize_t>(std::strlen(nomi + i)) + 1) {
            char valore[4096];
            const ssize_t v = ::lgetxattr(nativo(p).constData(), nomi + i, valore, sizeof valore);
            tutto[p][QByteArray(nomi + i)] = QByteArray(valore, std::max<ssize_t>(v, 0));
        }
    }
    return tutto;
}

Istantanea senza(Istantanea s, const QString& bundle)
{
    for (auto it = s.begin(); it != s.end();)
        it = (it.key() == bundle || it.key().startsWith(bundle + QLatin1Char('/'))) ? s.erase(it) : std::next(it);
    return s;
}

} // namespace

class TestNetteria : public QObject {
    Q_OBJECT
    QTemporaryDir radice;

    QString applicazioni() const { return radice.filePath(QStringLiteral("Applications")); }
    QString bundle() const { return applicazioni() + QStringLiteral("/Halvora.app"); }

    // A bundle like the application's: its stand-in as "halvora", the test
    // service as "netteria", a nested folder; signed with `chiave`.
    static bool creaBundle(const QString& b, const QByteArray& chiave = BundleProva::chiavePrivata(),
                           mode_t modoTesto = 0644)
    {
        QFile servizio(QStringLiteral(HALVORA_NETTERIA_PROVA));
        return servizio.open(QIODevice::ReadOnly) &&
               BundleProva::crea(b, {}, QStringLiteral("2.0"), QStringLiteral(HALVORA_CLIENTE_PROVA)) &&
               BundleProva::aggiungi(b, QStringLiteral("netteria"), servizio.readAll(), true) &&
               BundleProva::aggiungi(b, QStringLiteral("risorse/testo.txt"), "ciao\n") &&
               BundleProva::aggiungi(b, QStringLiteral("risorse/sotto/altro.txt"), "altro\n") &&
               ::chmod(nativo(b + QStringLiteral("/risorse/testo.txt")).constData(), modoTesto) == 0 &&
               BundleProva::firma(b, chiave).isEmpty();
    }

    // Runs a program with the test service's Applications folder (as the
    // unprivileged user when asked); its output.
    static QString esegui(const QString& programma, const QStringList& argomenti, const QString& applicazioni,
                          bool daNessuno = false)
    {
        QProcess p;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HALVORA_PROVA_APPLICAZIONI"), applicazioni);
        p.setProcessEnvironment(env);
        if (daNessuno)
            p.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNessuno) != 0 || ::setuid(kNessuno) != 0)
                    ::_exit(99);
            });
        p.start(programma, argomenti);
        if (!p.waitForFinished(20000) || p.exitCode() != 0)
            return QStringLiteral("FALLITO");
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString esegui(const QString& programma, const QStringList& argomenti) const
    {
        return esegui(programma, argomenti, applicazioni());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(radice.isValid());
        if (!haAttributiUtente(radice.path()))
            QSKIP("this file system keeps no user extended attributes");
        QVERIFY(creaBundle(bundle()));
        // Targets that must be refused.
        QVERIFY(creaBundle(applicazioni() + QStringLiteral("/Utilities/Halvora.app")));
        QVERIFY(creaBundle(radice.filePath(QStringLiteral("Halvora.app"))));
        QVERIFY(creaBundle(applicazioni() + QStringLiteral("/Halvora.APP")));
        QVERIFY(creaBundle(applicazioni() + QStringLiteral("/Estraneo.app"), BundleProva::chiaveEstranea()));
        QVERIFY(creaBundle(applicazioni() + QStringLiteral("/Manomesso.app")));
        QVERIFY(BundleProva::aggiungi(applicazioni() + QStringLiteral("/Manomesso.app"),
                                      QStringLiteral("risorse/testo.txt"), "Ciao\n"));
        QVERIFY(QFile::link(bundle(), applicazioni() + QStringLiteral("/Collegato.app")));
        QVERIFY(BundleProva::aggiungi(applicazioni(), QStringLiteral("File.app"), "non una cartella"));
    }

    void paths_data()
    {
        QTest::addColumn<QString>("percorso");
        QTest::addColumn<bool>("accolto");
        QTest::newRow("the bundle") << "%A/Halvora.app" << true;
        QTest::newRow("trailing slash") << "%A/Halvora.app/" << true;
        QTest::newRow("through ..") << "%A/../Applications/Halvora.app" << true;
        QTest::newRow("in a subfolder") << "%A/Utilities/Halvora.app" << false;
        QTest::newRow("in another folder") << "%R/Halvora.app" << false;
        QTest::newRow("upper-case extension") << "%A/Halvora.APP" << false;
        QTest::newRow("symbolic link to the bundle") << "%A/Collegato.app" << false;
        QTest::newRow("plain file") << "%A/File.app" << false;
        QTest::newRow("signed with another key") << "%A/Estraneo.app" << false;
        QTest::newRow("changed after signing") << "%A/Manomesso.app" << false;
        QTest::newRow("relative") << "Applications/Halvora.app" << false;
        QTest::newRow("the folder itself") << "%A" << false;
    }
    void paths()
    {
        QFETCH(QString, percorso);
        QFETCH(bool, accolto);
        percorso.replace(QLatin1String("%A"), applicazioni()).replace(QLatin1String("%R"), radice.path());
        marca(radice.path());
        const Istantanea prima = istantanea(radice.path());
        QCOMPARE(esegui(bundle() + QStringLiteral("/halvora"), {QStringLiteral("pulisci"), percorso}),
                 accolto ? QStringLiteral("SI") : QStringLiteral("NO"));
        const Istantanea dopo = istantanea(radice.path());
        if (accolto) {
            QCOMPARE(dopo, senza(prima, bundle()));
            QVERIFY(!prima.value(bundle() + QStringLiteral("/risorse/sotto/altro.txt")).isEmpty());
        } else {
            QCOMPARE(dopo, prima);
        }
    }

    void aBundleWithoutTheMarkIsClean()
    {
        for (const QString& p : voci(bundle()))
            for (const char* a : Quarantena::kAttributi)
                ::lremovexattr(nativo(p).constData(), a);
        QCOMPARE(esegui(bundle() + QStringLiteral("/halvora"), {QStringLiteral("pulisci"), bundle()}),
                 QStringLiteral("SI"));
    }

    void anItemThatCannotChangeKeepsItsMarkAlone()
    {
        // Removing a user attribute needs write permission on the item, which
        // an unprivileged user lacks on a read-only file.
        QTemporaryDir altra;
        const QString b = altra.filePath(QStringLiteral("Applications/Halvora.app"));
        const QString bloccato = b + QStringLiteral("/risorse/testo.txt");
        QVERIFY(creaBundle(b, BundleProva::chiavePrivata(), 0444));
        const bool daRoot = ::getuid() == 0;
        if (daRoot) {
            QVERIFY(::chmod(nativo(altra.path()).constData(), 0755) == 0);
            for (const QString& p : voci(altra.path()))
                QVERIFY(::lchown(nativo(p).constData(), kNessuno, kNessuno) == 0);
        }
        marca(b);
        QCOMPARE(esegui(b + QStringLiteral("/halvora"), {QStringLiteral("pulisci"), b},
                        altra.filePath(QStringLiteral("Applications")), daRoot),
                 QStringLiteral("NO"));
        const Istantanea dopo = istantanea(b);
        QCOMPARE(dopo.keys(), QStringList{bloccato});
        QCOMPARE(dopo.value(bloccato).size(), 2);
    }

    void foreignPeersGetNoAnswer_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("attesa");
        // The application's own request by hand shows that the others fail for what they are.
        QTest::newRow("the application by hand") << "richiesta" << "SI";
        QTest::newRow("a client copied outside the bundle") << "copia" << "NESSUNA";
        QTest::newRow("a script with its own socket pair") << "script" << "NESSUNA";
        QTest::newRow("no descriptor 3") << "senza fd" << "NESSUNA";
        QTest::newRow("garbage") << "spazzatura" << "NESSUNA";
        QTest::newRow("an oversized request") << "enorme" << "NESSUNA";
        QTest::newRow("silence") << "silenzio" << "NESSUNA";
    }
    void foreignPeersGetNoAnswer()
    {
        QFETCH(QString, caso);
        QFETCH(QString, attesa);
        marca(radice.path());
        const Istantanea prima = istantanea(radice.path());
        const QString servizio = bundle() + QStringLiteral("/netteria");
        QString risposta;
        if (caso == QLatin1String("copia")) {
            const QString fuori = radice.filePath(QStringLiteral("fuori/halvora"));
            QDir().mkpath(radice.filePath(QStringLiteral("fuori")));
            QFile::remove(fuori);
            QVERIFY(QFile::copy(bundle() + QStringLiteral("/halvora"), fuori));
            risposta = esegui(fuori, {servizio, QStringLiteral("richiesta"), bundle()});
        } else if (caso == QLatin1String("script")) {
            const QString script = QStringLiteral(
                "import os, socket, subprocess, sys\n"
                "posti = [os.open('/dev/null', os.O_RDONLY) for _ in range(2)]\n" // keep 3 free of the pair
                "a, b = socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)\n"
                // Queued before the start, as the application does: a service
                // that refuses and ends first would make a later send fail.
                "a.send(sys.argv[2].encode())\n"
                "os.dup2(b.fileno(), 3)\n"
                "p = subprocess.Popen([sys.argv[1]], pass_fds=(3,))\n"
                "os.close(3); b.close()\n"
                "try: r = a.recv(1)\n"
                "except ConnectionResetError: r = a.recv(1)\n" // an answer would still be queued
                "p.wait()\n"
                "print('SI' if r == b'\\x01' else 'NO' if r else 'NESSUNA')\n");
            risposta = esegui(QStringLiteral("python3"), {QStringLiteral("-c"), script, servizio, bundle()});
        } else if (caso == QLatin1String("senza fd")) {
            QProcess p;
            p.start(servizio, {});
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitCode(), 1);
            risposta = QStringLiteral("NESSUNA");
        } else {
            risposta = esegui(bundle() + QStringLiteral("/halvora"), {servizio, caso, bundle()});
        }
        QCOMPARE(risposta, attesa);
        QCOMPARE(istantanea(radice.path()), attesa == QLatin1String("SI") ? senza(prima, bundle()) : prima);
    }
};

QTEST_GUILESS_MAIN(TestNetteria)
#include "tst_Netteria.moc"
