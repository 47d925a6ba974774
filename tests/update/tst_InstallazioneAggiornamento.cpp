#include "AggiornamentoManager.h"
#include "AlberoProva.h"
#include "BundleProva.h"
#include "FakeClock.h"
#include "LettoreFeedFinto.h"
#include "ServerHttpsLocale.h"
#include "UserDefaults.h"
#include "ZipProva.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

// A package as a test builds it: from the bundle folder it may spoil.
using Pacchetto = std::function<QByteArray(const QString& bundle)>;
Q_DECLARE_METATYPE(Pacchetto)

namespace {

const QString kScarico = QString::fromUtf8("Scarico…");
const QString kVerifico = QString::fromUtf8("Verifico…");
const QString kInstallo = QString::fromUtf8("Installo…");
const QString kIlleggibile = QString::fromUtf8("Il pacchetto scaricato non è leggibile.");
const QString kFirma = QString::fromUtf8("Il pacchetto scaricato non ha una firma valida: non lo installo.");
const QString kVersione = QString::fromUtf8("Il pacchetto scaricato non è la versione annunciata.");

bool firmato(const QString& b, const QString& versione, const QByteArray& pem = BundleProva::chiavePrivata())
{
    return BundleProva::crea(b, {}, versione) && BundleProva::firma(b, pem).isEmpty();
}

QByteArray comeZip(const QString& b, const std::function<void(ZipProva&)>& poi = {})
{
    ZipProva z;
    z.albero(b, "Halvora.app");
    if (poi)
        poi(z);
    return z.dati();
}

// A signed 2.1.0 with something added to the ZIP after it.
Pacchetto conAggiunta(std::function<void(ZipProva&)> poi)
{
    return [poi](const QString& b) { return firmato(b, "2.1.0") ? comeZip(b, poi) : QByteArray(); };
}

} // namespace

class TestInstallazioneAggiornamento : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ServerHttpsLocale server;
    int n = 0;

    struct Banco {
        QString casa, applicazioni, installata;
        FakeClock clock;
        UserDefaults defaults;
        LettoreFeedFinto lettore;
        QStringList passi, rilanci;
        bool marcata = false, siApre = true;
        std::unique_ptr<AggiornamentoManager> m;

        Banco(const QString& radice, const ServerHttpsLocale& server,
              const std::function<void(InstallazioneAggiornamento::Opzioni&)>& regola)
            : casa(radice), applicazioni(radice + "/Applications"), installata(applicazioni + "/Halvora.app"),
              defaults(radice + "/impostazioni.ini")
        {
            AggiornamentoManager::Opzioni o;
            o.versioneInUso = "2.0";
            o.installazione.destinazione = installata;
            o.installazione.chiave = BundleProva::chiavePubblica();
            o.installazione.architettura = "amd64";
            o.installazione.scompattatore = HALVORA_SCOMPATTA;
            o.installazione.ssl = server.fiducia();
            o.installazione.vociMassime = 200;
            o.installazione.byteMassimi = 4 << 20;
            o.installazione.scaricoMassimo = 4 << 20;
            if (regola)
                regola(o.installazione);
            o.pulisci = [](const QString&, AggiornamentoManager::Opzioni::Risposta r) {
                QMetaObject::invokeMethod(QCoreApplication::instance(), [r] { r(false); }, Qt::QueuedConnection);
            };
            o.marcata = [this](const QString&) { return marcata; };
            o.rilancia = [this](const QString& b, AggiornamentoManager::Opzioni::Risposta r) {
                rilanci << b;
                QMetaObject::invokeMethod(QCoreApplication::instance(), [this, r] { r(siApre); }, Qt::QueuedConnection);
            };
            m = std::make_unique<AggiornamentoManager>(defaults, clock, lettore, nullptr, o);
            QObject::connect(m.get(), &AggiornamentoManager::passoAggiornamentoChanged, m.get(), [this] {
                if (!m->passoAggiornamento().isEmpty())
                    passi << m->passoAggiornamento();
            });
            m->controllaAggiornamenti(true);
            lettore.rispondi(QStringLiteral("{\"versione\":\"2.1.0\",\"download\":\"https://halvora.app/v\",\"pacchetto\":\"%1/p.zip\"}")
                                 .arg(server.endpoint().toString())
                                 .toUtf8());
        }
        bool finito() const { return m->passoAggiornamento().isEmpty(); }
        // What a run keeps beside the installed copy and in the temporary folder.
        QStringList cartelleDiLavoro() const
        {
            return QDir(applicazioni).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(QRegularExpression("^\\."))
                   + QDir::temp().entryList({"aggiornamento-*"}, QDir::AllEntries | QDir::Hidden);
        }
    };

    std::unique_ptr<Banco> banco(bool conCopia = true, const std::function<void(InstallazioneAggiornamento::Opzioni&)>& regola = {})
    {
        const QString radice = dir.filePath(QString::number(++n));
        auto b = std::make_unique<Banco>(radice, server, regola);
        if (conCopia)
            firmato(b->installata, "2.0");
        return b;
    }

private slots:
    void initTestCase()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        QVERIFY(server.avvia());
        // The downloads' own temporary folder, to see what they leave.
        QVERIFY(QDir().mkpath(dir.filePath("tmp")));
        qputenv("TMPDIR", QFile::encodeName(dir.filePath("tmp")));
    }

    void aSignedNewerPackageIsInstalledAndOpened_data()
    {
        QTest::addColumn<bool>("conCopia");
        QTest::addColumn<bool>("marcata");
        QTest::addColumn<bool>("siApre");
        QTest::newRow("replaces the installed copy") << true << false << true;
        QTest::newRow("no copy yet") << false << false << true;
        QTest::newRow("still marked") << true << true << true;
        QTest::newRow("does not open") << true << false << false;
    }
    void aSignedNewerPackageIsInstalledAndOpened()
    {
        QFETCH(bool, conCopia);
        QFETCH(bool, marcata);
        QFETCH(bool, siApre);
        auto b = banco(conCopia);
        b->marcata = marcata;
        b->siApre = siApre;
        QTemporaryDir nuova;
        QVERIFY(firmato(nuova.filePath("Halvora.app"), "2.1.0"));
        server.risposta = {200, comeZip(nuova.filePath("Halvora.app"))};
        const int prima = server.connessioni;

        b->m->scaricaEInstalla();
        QCOMPARE(b->m->passoAggiornamento(), kScarico);
        b->m->scaricaEInstalla(); // a second press while it runs starts nothing
        if (siApre && !marcata) {
            QTRY_COMPARE_WITH_TIMEOUT(b->rilanci.size(), 1, 15000);
            QTest::qWait(50);
            QCOMPARE(b->m->passoAggiornamento(), kInstallo); // until this instance quits
            QVERIFY(!b->m->installata());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(b->m->installata(), 15000);
            QVERIFY(b->finito());
            QCOMPARE(b->rilanci.size(), marcata ? 0 : 1);
        }
        QCOMPARE(b->passi, (QStringList{kScarico, kVerifico, kInstallo}));
        QCOMPARE(server.connessioni - prima, 1);
        QVERIFY(!b->m->erroreAggiornamento());
        QCOMPARE(alberoProva(b->installata), alberoProva(nuova.filePath("Halvora.app")));
        QVERIFY(b->cartelleDiLavoro().isEmpty());
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.1.0"));

        b->m->apriVersioneNuova();
        QTRY_COMPARE(b->rilanci.size(), marcata ? 1 : 2);
        QCOMPARE(b->rilanci.last(), b->installata);
        QTest::qWait(20);
        QCOMPARE(b->m->erroreAggiornamento(),
                 siApre ? std::nullopt : std::optional(QString::fromUtf8("Non si è aperta: avviala da Applicazioni.")));
    }

    void aRefusedPackageChangesNothing_data()
    {
        QTest::addColumn<Pacchetto>("pacchetto");
        QTest::addColumn<QString>("errore");
        QTest::newRow("unsigned") << Pacchetto([](const QString& b) {
            return BundleProva::crea(b, {}, "2.1.0") ? comeZip(b) : QByteArray();
        }) << kFirma;
        QTest::newRow("foreign key") << Pacchetto([](const QString& b) {
            return firmato(b, "2.1.0", BundleProva::chiaveEstranea()) ? comeZip(b) : QByteArray();
        }) << kFirma;
        QTest::newRow("one byte changed") << Pacchetto([](const QString& b) {
            return firmato(b, "2.1.0") && BundleProva::aggiungi(b, "halvora", "#!/bin/sh\nexit 1\n", true) ? comeZip(b)
                                                                                                          : QByteArray();
        }) << kFirma;
        QTest::newRow("extra file") << Pacchetto([](const QString& b) {
            return firmato(b, "2.1.0") && BundleProva::aggiungi(b, "in-piu", "x") ? comeZip(b) : QByteArray();
        }) << kFirma;
        QTest::newRow("link added") << conAggiunta([](ZipProva& z) { z.collegamento("Halvora.app/l", "halvora"); })
                                    << kIlleggibile;
        QTest::newRow("other identifier") << Pacchetto([](const QString& b) {
            return BundleProva::crea(b, "Altro.Programma", "2.1.0") && BundleProva::firma(b).isEmpty() ? comeZip(b)
                                                                                                     : QByteArray();
        }) << kFirma;
        QTest::newRow("2.1 for 2.1.0") << Pacchetto([](const QString& b) {
            return firmato(b, "2.1") ? comeZip(b) : QByteArray();
        }) << kVersione;
        QTest::newRow("older signed") << Pacchetto([](const QString& b) {
            return firmato(b, "1.9") ? comeZip(b) : QByteArray();
        }) << kVersione;
        QTest::newRow("other architecture") << Pacchetto([](const QString& b) {
            const QJsonObject info{{"identificatore", "Marvessi.Halvora-V2-0"}, {"versione", "2.1.0"},
                                   {"architettura", "riscv64"}, {"eseguibile", "halvora"}};
            return BundleProva::crea(b, {}, "2.1.0") && BundleProva::aggiungi(b, "Info.json", QJsonDocument(info).toJson())
                           && BundleProva::firma(b).isEmpty()
                       ? comeZip(b)
                       : QByteArray();
        }) << kIlleggibile;
        QTest::newRow("in a subfolder") << Pacchetto([](const QString& b) {
            ZipProva z;
            return firmato(b, "2.1.0") && z.albero(b, "cartella/Halvora.app") ? z.dati() : QByteArray();
        }) << kIlleggibile;
        QTest::newRow("path traversal") << conAggiunta([](ZipProva& z) { z.file("Halvora.app/../../../fuori", "x"); })
                                        << kIlleggibile;
        QTest::newRow("absolute path") << conAggiunta([](ZipProva& z) {
            z.file(QFile::encodeName(QDir::tempPath()) + "/halvora-assoluto", "x");
        }) << kIlleggibile;
        QTest::newRow("link then file") << conAggiunta([](ZipProva& z) {
            z.collegamento("Halvora.app/l", "../..");
            z.file("Halvora.app/l/fuori", "x");
        }) << kIlleggibile;
        // The ZIP reader turns a FIFO into an empty file: never made, and not in the signature.
        QTest::newRow("fifo") << conAggiunta([](ZipProva& z) { z.voce("Halvora.app/tubo", 010644); }) << kFirma;
        QTest::newRow("setuid") << conAggiunta([](ZipProva& z) { z.voce("Halvora.app/su", 0104755, "x"); })
                                << kIlleggibile;
        QTest::newRow("too many entries") << conAggiunta([](ZipProva& z) {
            for (int i = 0; i < 200; ++i)
                z.file("Halvora.app/f" + QByteArray::number(i), "x");
        }) << kIlleggibile;
        QTest::newRow("decompression bomb") << conAggiunta([](ZipProva& z) {
            z.voce("Halvora.app/zeri", 0100644, QByteArray(16 << 20, '\0'), true, 100);
        }) << kIlleggibile;
        QTest::newRow("not a zip") << Pacchetto([](const QString&) { return QByteArray("PK\x03\x04 e poi niente"); })
                                   << kIlleggibile;
    }
    void aRefusedPackageChangesNothing()
    {
        QFETCH(Pacchetto, pacchetto);
        QFETCH(QString, errore);
        auto b = banco();
        const QStringList prima = alberoProva(b->applicazioni);
        QTemporaryDir nuova;
        server.risposta = {200, pacchetto(nuova.filePath("Halvora.app"))};
        QVERIFY(!server.risposta.corpo.isEmpty());

        b->m->scaricaEInstalla();
        QTRY_VERIFY_WITH_TIMEOUT(b->finito(), 15000);
        QCOMPARE(b->m->erroreAggiornamento(), std::optional(errore));
        QCOMPARE(b->passi, (QStringList{kScarico, kVerifico}));
        QVERIFY(b->rilanci.isEmpty());
        QVERIFY(!b->m->installata());
        // The installed copy, the settings and all else in the home are as they were.
        QCOMPARE(alberoProva(b->applicazioni), prima);
        QVERIFY(!QFile::exists(QDir::tempPath() + "/halvora-assoluto"));
        QVERIFY(!QFile::exists(dir.filePath("fuori")));
    }

    void aFailedDownloadKeepsTheOfferAndATryStartsAfresh()
    {
        auto b = banco();
        const QStringList prima = alberoProva(b->applicazioni);
        server.risposta = {404, "non c'è"};
        b->m->scaricaEInstalla();
        QTRY_VERIFY_WITH_TIMEOUT(b->finito(), 15000);
        QCOMPARE(b->m->erroreAggiornamento(), std::optional(QString::fromUtf8("Il download non è riuscito.")));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.1.0"));
        QVERIFY(!b->m->urlPacchetto().isEmpty());
        QCOMPARE(alberoProva(b->applicazioni), prima);

        // Larger than the bound: stopped, and the same text.
        server.risposta = {200, QByteArray(5 << 20, 'x')};
        QSignalSpy errori(b->m.get(), &AggiornamentoManager::erroreAggiornamentoChanged);
        b->m->scaricaEInstalla();
        QCOMPARE(errori.size(), 1);
        QVERIFY(!b->m->erroreAggiornamento());
        QTRY_VERIFY_WITH_TIMEOUT(b->finito(), 15000);
        QVERIFY(b->m->erroreAggiornamento());
        QCOMPARE(alberoProva(b->applicazioni), prima);
    }

    void withoutTheExchangeTheOldCopyStepsAside_data()
    {
        QTest::addColumn<int>("senzaScambio"); // what the exchange answers
        QTest::addColumn<bool>("entra");        // whether the new copy can move in
        QTest::newRow("EINVAL") << EINVAL << true;
        QTest::newRow("ENOSYS") << ENOSYS << true;
        QTest::newRow("EXDEV") << EXDEV << true;
        QTest::newRow("the new copy cannot move in") << EINVAL << false;
    }
    void withoutTheExchangeTheOldCopyStepsAside()
    {
        QFETCH(int, senzaScambio);
        QFETCH(bool, entra);
        auto rinomine = std::make_shared<QStringList>();
        auto b = banco(true, [=](InstallazioneAggiornamento::Opzioni& o) {
            o.rinomina = [=](int da, const char* nome, int a, const char* nomeA, unsigned opzioni) {
                *rinomine << QString::fromUtf8(nomeA);
                if (opzioni & RENAME_EXCHANGE) {
                    errno = senzaScambio;
                    return -1;
                }
                if (!entra && rinomine->size() == 3) { // the new copy, after the old stepped aside
                    errno = EIO;
                    return -1;
                }
                return ::renameat2(da, nome, a, nomeA, opzioni);
            };
        });
        const QStringList vecchia = alberoProva(b->installata);
        QTemporaryDir nuova;
        QVERIFY(firmato(nuova.filePath("Halvora.app"), "2.1.0"));
        server.risposta = {200, comeZip(nuova.filePath("Halvora.app"))};

        b->m->scaricaEInstalla();
        if (entra)
            QTRY_COMPARE_WITH_TIMEOUT(b->rilanci.size(), 1, 15000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(b->finito(), 15000);
        QCOMPARE(rinomine->size(), entra ? 3 : 4);
        QVERIFY(rinomine->at(1).startsWith(".Halvora.app.vecchia-"));
        QCOMPARE(b->m->erroreAggiornamento(), entra ? std::nullopt : std::optional(QString::fromLocal8Bit(std::strerror(EIO))));
        QCOMPARE(alberoProva(b->installata), entra ? alberoProva(nuova.filePath("Halvora.app")) : vecchia);
        QCOMPARE(b->cartelleDiLavoro(), QStringList());
    }

    void aDownloadThatOutlastsItsLimitFails_data()
    {
        QTest::addColumn<bool>("conLunghezza");
        QTest::addColumn<int>("limiteMs"); // 1 s, plus 1 s for the 100,000 bytes when announced
        QTest::newRow("announced size") << true << 2000;
        QTest::newRow("no size announced") << false << 1000;
    }
    void aDownloadThatOutlastsItsLimitFails()
    {
        QFETCH(bool, conLunghezza);
        QFETCH(int, limiteMs);
        auto b = banco(true, [](InstallazioneAggiornamento::Opzioni& o) {
            o.margineMs = 1000;
            o.velocitaMinima = 100000;
        });
        const QStringList prima = alberoProva(b->applicazioni);
        // A byte every 50 ms: never idle, and days to finish.
        server.risposta = {200, QByteArray(100000, 'x'), conLunghezza, false, 50};
        QElapsedTimer t;
        t.start();
        b->m->scaricaEInstalla();
        QTRY_VERIFY_WITH_TIMEOUT(b->finito(), 15000);
        QVERIFY2(t.elapsed() >= limiteMs * 9 / 10, qPrintable(QString::number(t.elapsed())));
        // The failure card, with the download page on offer.
        QCOMPARE(b->m->erroreAggiornamento(), std::optional(QString::fromUtf8("Il download non è riuscito.")));
        QVERIFY(!b->m->urlPacchetto().isEmpty());
        QCOMPARE(alberoProva(b->applicazioni), prima);
        QCOMPARE(b->cartelleDiLavoro(), QStringList());
    }

    void aQuitDuringTheDownloadLeavesNothing()
    {
        auto b = banco();
        const QStringList prima = alberoProva(b->applicazioni);
        server.risposta = {200, QByteArray(100000, 'x'), true, false, 50};
        b->m->scaricaEInstalla();
        // Bytes are coming into the package in the temporary folder.
        const auto scaricato = [] {
            const QStringList c = QDir::temp().entryList({"aggiornamento-*"}, QDir::Dirs);
            return c.size() == 1 ? QFileInfo(QDir::temp().filePath(c[0] + "/pacchetto.zip")).size() : -1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(scaricato() > 0, 15000);
        b->m.reset();
        QCOMPARE(b->cartelleDiLavoro(), QStringList());
        QCOMPARE(alberoProva(b->applicazioni), prima);
    }
};

QTEST_GUILESS_MAIN(TestInstallazioneAggiornamento)
#include "tst_InstallazioneAggiornamento.moc"
