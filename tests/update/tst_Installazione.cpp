#include "AlberoProva.h"
#include "BundleProva.h"
#include "CopiaInApplicazioni.h"
#include "FakeClock.h"
#include "Installazione.h"
#include "Quarantena.h"
#include "UserDefaults.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr uid_t kNessuno = 65534;

bool marca(const QString& p)
{
    return ::lsetxattr(QFile::encodeName(p).constData(), Quarantena::kAttributi[0], "u", 1, 0) == 0;
}

QStringList nascoste(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot).filter(QRegularExpression("^\\."));
}

// The desktop's file manager as the bus knows it.
class FileManagerFinto : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList chiamate;
public slots:
    void ShowFolders(const QStringList& uri, const QString&) { chiamate << QStringLiteral("cartelle ") + uri.join(' '); }
    void ShowItems(const QStringList& uri, const QString&) { chiamate << QStringLiteral("voci ") + uri.join(' '); }
};

} // namespace

// The installation with the service and the relaunch stood in for; the
// copy itself is real, in a temporary home.
class TestInstallazione : public QObject {
    Q_OBJECT
    QTemporaryDir casa;
    FakeClock clock;
    std::unique_ptr<UserDefaults> impostazioni;
    QStringList richieste; // "pulisci <bundle>", "rilancia <bundle>"
    bool rispostaServizio = true;
    bool avviata = true;

    QString applicazioni() const { return casa.filePath(QStringLiteral("Applications")); }
    QString installata() const { return applicazioni() + QStringLiteral("/Halvora.app"); }

    std::unique_ptr<Installazione> installazione(const NotchGeometry::Posizione& p)
    {
        return std::make_unique<Installazione>(Installazione::Dipendenze{
            clock, *impostazioni, p,
            [this](const QString& b, std::function<void(bool)> r) {
                richieste << QStringLiteral("rilancia ") + b;
                r(avviata);
            },
            [this](const QString& b, std::function<void(bool)> r) {
                richieste << QStringLiteral("pulisci ") + b;
                r(rispostaServizio);
            }});
    }
    NotchGeometry::Posizione da(const QString& bundle) const
    {
        return {bundle, bundle + QStringLiteral("/halvora"), casa.path(), applicazioni()};
    }
    // A translocated image of the installed copy: its executable is the
    // installed one's file.
    NotchGeometry::Posizione immagineTraslocata()
    {
        const QString immagine = casa.filePath(QStringLiteral("AppTranslocation/X1/d/Halvora.app"));
        QDir().mkpath(immagine);
        const QString installato = installata() + QStringLiteral("/Contents/MacOS/halvora");
        QDir().mkpath(QFileInfo(installato).path());
        QFile(installato).open(QIODevice::WriteOnly);
        QFile::remove(immagine + QStringLiteral("/halvora"));
        ::link(QFile::encodeName(installato).constData(), QFile::encodeName(immagine + "/halvora").constData());
        return da(immagine);
    }
    QString sorgente(const QString& nome, const QString& versione)
    {
        const QString b = casa.filePath(nome);
        BundleProva::crea(b, {}, versione);
        BundleProva::aggiungi(b, QStringLiteral("risorse/testo.txt"), versione.toUtf8());
        BundleProva::aggiungi(b, QStringLiteral("netteria"), "#!/bin/sh\n", true);
        QFile::link(QStringLiteral("risorse/testo.txt"), b + QStringLiteral("/collegamento"));
        ::chmod(QFile::encodeName(b + "/risorse").constData(), 0750);
        return b;
    }
    static Installazione::Risultato installa(Installazione& i)
    {
        std::optional<Installazione::Risultato> esito;
        i.installIntoApplications([&](Installazione::Risultato r) { esito = r; });
        (void)QTest::qWaitFor([&] { return esito.has_value(); }, 20000);
        return esito.value_or(Installazione::Risultato{Installazione::Esito::fallita, QStringLiteral("nessun esito")});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(casa.isValid());
        QFile prova(casa.filePath(QStringLiteral("attributi")));
        prova.open(QIODevice::WriteOnly);
        if (!marca(prova.fileName()))
            QSKIP("this file system keeps no user extended attributes");
    }
    void init()
    {
        QDir(applicazioni()).removeRecursively();
        for (const char* c : {"AppTranslocation", "Scaricati"})
            QDir(casa.filePath(QLatin1String(c))).removeRecursively();
        impostazioni = std::make_unique<UserDefaults>(casa.filePath(QStringLiteral("prova.ini")));
        impostazioni->remove(Installazione::kUltimaUscita);
        richieste.clear();
        rispostaServizio = avviata = true;
    }

    void handOverFromATranslocatedCopy_data()
    {
        QTest::addColumn<bool>("traslocata");
        QTest::addColumn<QVariant>("ultima"); // seconds before now, or a text
        QTest::addColumn<bool>("servizio");
        QTest::addColumn<bool>("marcaResta");
        QTest::addColumn<bool>("passa");
        QTest::newRow("first time") << true << QVariant() << true << false << true;
        QTest::newRow("119 s after the last") << true << QVariant(119.0) << true << false << false;
        QTest::newRow("120 s after the last") << true << QVariant(120.0) << true << false << true;
        QTest::newRow("a date 10 s ahead") << true << QVariant(-10.0) << true << false << false;
        QTest::newRow("a stored text") << true << QVariant(QStringLiteral("ieri")) << true << false << true;
        QTest::newRow("the service says no") << true << QVariant() << false << false << false;
        QTest::newRow("the mark stays") << true << QVariant() << true << true << false;
        QTest::newRow("not translocated") << false << QVariant() << true << false << false;
    }
    void handOverFromATranslocatedCopy()
    {
        QFETCH(bool, traslocata);
        QFETCH(QVariant, ultima);
        QFETCH(bool, servizio);
        QFETCH(bool, marcaResta);
        QFETCH(bool, passa);
        const auto p = traslocata ? immagineTraslocata() : da(sorgente(QStringLiteral("Downloads/Halvora.app"), "2.0"));
        BundleProva::crea(installata());
        if (marcaResta)
            QVERIFY(marca(installata() + QStringLiteral("/halvora")));
        if (ultima.typeId() == QMetaType::Double)
            impostazioni->setValue(Installazione::kUltimaUscita, clock.now().addMSecs(qint64(-ultima.toDouble() * 1000)));
        else if (ultima.isValid())
            impostazioni->setValue(Installazione::kUltimaUscita, ultima);
        const QVariant prima = impostazioni->value(Installazione::kUltimaUscita);
        rispostaServizio = servizio;
        installazione(p)->checkRelocationAtLaunch();
        QStringList attese;
        if (traslocata && (!ultima.isValid() || ultima.typeId() != QMetaType::Double || ultima.toDouble() >= 120))
            attese << QStringLiteral("pulisci ") + installata();
        if (passa)
            attese << QStringLiteral("rilancia ") + installata();
        QCOMPARE(richieste, attese);
        QCOMPARE(impostazioni->value(Installazione::kUltimaUscita), passa ? QVariant(clock.now()) : prima);
    }

    void installsAnIdenticalUnmarkedCopyOverAnOlderOne_data()
    {
        QTest::addColumn<bool>("avviata");
        QTest::addColumn<int>("esito");
        QTest::newRow("the new copy runs") << true << int(Installazione::Esito::nienteDaRiferire);
        QTest::newRow("the new copy does not start") << false << int(Installazione::Esito::inApplicazioniNonPassata);
    }
    void installsAnIdenticalUnmarkedCopyOverAnOlderOne()
    {
        QFETCH(bool, avviata);
        QFETCH(int, esito);
        const QString b = sorgente(QStringLiteral("Scaricati/Halvora.app"), QStringLiteral("2.1"));
        const QStringList atteso = alberoProva(b);
        for (const QString& v : {QString(), QStringLiteral("/halvora"), QStringLiteral("/risorse/testo.txt")})
            QVERIFY(marca(b + v));
        sorgente(QStringLiteral("Applications/Halvora.app"), QStringLiteral("2.0"));
        rispostaServizio = false; // not looked at: the copy is clean
        this->avviata = avviata;
        auto i = installazione(da(b));
        const auto r = installa(*i);
        QCOMPARE(int(r.esito), esito);
        QCOMPARE(richieste, (QStringList{"pulisci " + installata(), "rilancia " + installata()}));
        QCOMPARE(alberoProva(installata()), atteso);
        QVERIFY(nascoste(applicazioni()).isEmpty());
    }

    void runningFromThereOrTranslocatedCopiesNothing()
    {
        sorgente(QStringLiteral("Applications/Halvora.app"), QStringLiteral("2.0"));
        const std::pair<NotchGeometry::Posizione, Installazione::Esito> casi[] = {
            {da(installata()), Installazione::Esito::nienteDaRiferire},
            {immagineTraslocata(), Installazione::Esito::inApplicazioniNonPassata}};
        const QStringList prima = alberoProva(applicazioni());
        for (const auto& [p, atteso] : casi) {
            std::optional<Installazione::Esito> e;
            installazione(p)->installIntoApplications([&](Installazione::Risultato r) { e = r.esito; });
            QCOMPARE(e, std::optional(atteso)); // before returning
        }
        QVERIFY(richieste.isEmpty());
        QCOMPARE(alberoProva(applicazioni()), prima);
    }

    void aFailedCopyReportsTheSystemsMessageAndLeavesNothing()
    {
        // Root writes anywhere: the refusal is tried as an unprivileged user.
        const bool daRoot = ::geteuid() == 0;
        const QString b = sorgente(QStringLiteral("Scaricati/Halvora.app"), QStringLiteral("2.1"));
        QVERIFY(QDir().mkpath(applicazioni()));
        ::chmod(QFile::encodeName(casa.path()).constData(), 0755);
        ::chmod(QFile::encodeName(applicazioni()).constData(), 0555);
        QProcess p;
        if (daRoot)
            p.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNessuno) != 0 || ::setuid(kNessuno) != 0)
                    ::_exit(99);
            });
        p.start(QStringLiteral(HALVORA_INSTALLA_PROVA), {b, installata()});
        QVERIFY(p.waitForFinished(20000));
        ::chmod(QFile::encodeName(applicazioni()).constData(), 0755);
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(std::strerror(EACCES)));
        QVERIFY(QDir(applicazioni()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

        // And through the installation: the message as it came, no service, no relaunch.
        auto i = installazione(da(casa.filePath(QStringLiteral("Assente.app"))));
        const auto r = installa(*i);
        QCOMPARE(r.esito, Installazione::Esito::fallita);
        QCOMPARE(r.messaggio, QString::fromLocal8Bit(std::strerror(ENOENT)));
        QVERIFY(richieste.isEmpty());
        QVERIFY(nascoste(applicazioni()).isEmpty());
    }

    void aKillDuringTheCopyLeavesTheOldCopyWhole()
    {
        const QString b = sorgente(QStringLiteral("Grande/Halvora.app"), QStringLiteral("2.1"));
        const QByteArray blocco(1 << 20, 'x');
        for (int n = 0; n < 48; ++n)
            QVERIFY(BundleProva::aggiungi(b, QStringLiteral("dati/%1.bin").arg(n), blocco));
        sorgente(QStringLiteral("Applications/Halvora.app"), QStringLiteral("2.0"));
        const QStringList vecchio = alberoProva(installata());
        int interrotte = 0;
        for (int prova = 0; prova < 4; ++prova) {
            QProcess p;
            p.start(QStringLiteral(HALVORA_INSTALLA_PROVA), {b, installata()});
            QVERIFY(p.waitForStarted());
            // Killed as soon as its hidden folder shows, or a little later.
            QElapsedTimer t;
            t.start();
            while (nascoste(applicazioni()).isEmpty() && p.state() == QProcess::Running && t.elapsed() < 10000)
                QThread::usleep(200);
            QThread::usleep(prova * 2000);
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            p.waitForFinished();
            const QStringList ora = alberoProva(installata());
            QVERIFY(ora == vecchio || ora == alberoProva(b));
            QVERIFY(nascoste(applicazioni()).size() <= 1);
            interrotte += ora == vecchio;
            CopiaInApplicazioni::rimuoviSoste(applicazioni());
            QVERIFY(nascoste(applicazioni()).isEmpty());
            if (ora != vecchio)
                break;
        }
        QVERIFY2(interrotte > 0, "no kill fell inside the copy");
    }

    void aKillInTheSecondTryIsMendedAtTheNextStart_data()
    {
        QTest::addColumn<int>("uccidiDopo"); // renames: the refused exchange, the old aside, the new in
        QTest::addColumn<bool>("vuoto");     // the place is empty until the next start
        QTest::addColumn<bool>("nuova");     // the new copy is the one in place at the end
        QTest::newRow("not killed") << 0 << false << true;
        QTest::newRow("after the refused exchange") << 1 << false << false;
        QTest::newRow("with the old copy aside") << 2 << true << false;
        QTest::newRow("with the new copy in") << 3 << false << true;
    }
    void aKillInTheSecondTryIsMendedAtTheNextStart()
    {
        QFETCH(int, uccidiDopo);
        QFETCH(bool, vuoto);
        QFETCH(bool, nuova);
        const QString b = sorgente(QStringLiteral("Scaricati/Halvora.app"), QStringLiteral("2.1"));
        sorgente(QStringLiteral("Applications/Halvora.app"), QStringLiteral("2.0"));
        const QStringList vecchio = alberoProva(installata());
        QProcess p;
        p.start(QStringLiteral(HALVORA_INSTALLA_PROVA), {b, installata(), QString::number(uccidiDopo)});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), uccidiDopo ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(QFileInfo::exists(installata()), !vuoto);
        installazione(da(installata()))->rimuoviCopieInterrotte();
        QTRY_VERIFY(nascoste(applicazioni()).isEmpty());
        QCOMPARE(alberoProva(installata()), nuova ? alberoProva(b) : vecchio);
    }

    void theFileManagerShowsTheFolderAndSelectsTheRunningBundle()
    {
        FileManagerFinto fm;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fm, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        const QString b = sorgente(QStringLiteral("Scaricati/Halvora.app"), QStringLiteral("2.1"));
        Installazione i({clock, *impostazioni, da(b), {}});
        i.revealInstalledCopy();
        QTRY_COMPARE(fm.chiamate.size(), 2);
        QCOMPARE(fm.chiamate, (QStringList{"cartelle " + QUrl::fromLocalFile(applicazioni()).toString(),
                                           "voci " + QUrl::fromLocalFile(b).toString()}));
        QVERIFY(QFileInfo(applicazioni()).isDir());
        bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    }

    void theNextStartRemovesWhatAnInterruptedCopyLeft()
    {
        QVERIFY(QDir().mkpath(applicazioni() + QStringLiteral("/.Halvora.app.sosta-a1B2c3/dentro")));
        QVERIFY(QDir().mkpath(applicazioni() + QStringLiteral("/.aggiornamento-0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9/Halvora.app")));
        QVERIFY(QDir().mkpath(applicazioni() + QStringLiteral("/.config")));
        sorgente(QStringLiteral("Applications/Halvora.app"), QStringLiteral("2.0"));
        auto i = installazione(da(installata()));
        i->rimuoviCopieInterrotte();
        i->attendi();
        QCOMPARE(nascoste(applicazioni()), QStringList{".config"});
        QVERIFY(QFile::exists(installata() + QStringLiteral("/Info.json")));
    }
};

QTEST_GUILESS_MAIN(TestInstallazione)
#include "tst_Installazione.moc"
