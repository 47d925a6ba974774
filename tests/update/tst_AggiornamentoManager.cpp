#include "AggiornamentoManager.h"
#include "FakeClock.h"
#include "LettoreFeedFinto.h"
#include "LettoreFeed.h"
#include "LettoreFeedHttps.h"
#include "Risveglio.h"
#include "ServerHttpsLocale.h"
#include "UserDefaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

QByteArray feed(const QString& versione, const QString& extra = {})
{
    const QString modello = QString::fromUtf8("{\"versione\":\"%1\",\"download\":\"https://halvora.app/v\"%2}");
    return modello.arg(versione, extra).toUtf8();
}

class TestAggiornamentoManager : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    int n = 0;

    struct Banco {
        FakeClock clock;
        UserDefaults defaults;
        LettoreFeedFinto lettore;
        Risveglio risveglio;
        QList<QUrl> aperti;
        std::unique_ptr<AggiornamentoManager> m;
        Banco(const QString& file, const QString& versione = "2.0") : defaults(file)
        {
            AggiornamentoManager::Opzioni o;
            o.versioneInUso = versione;
            o.sistemaAlmeno = [](int a, int b, int c) { return std::tuple(14, 0, 0) >= std::tuple(a, b, c); };
            o.apriURL = [this](const QUrl& u) { aperti << u; };
            m = std::make_unique<AggiornamentoManager>(defaults, clock, lettore, &risveglio, o);
        }
        // A manual check answered at once.
        void manuale(std::optional<QByteArray> corpo)
        {
            m->controllaAggiornamenti(true);
            lettore.rispondi(std::move(corpo));
        }
    };
    std::unique_ptr<Banco> banco(const QString& versione = "2.0")
    {
        return std::make_unique<Banco>(dir.filePath(QStringLiteral("a%1.ini").arg(++n)), versione);
    }

private slots:
    void evaluationOfTheAnnouncedVersion_data()
    {
        QTest::addColumn<QString>("inUso");
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<QString>("offerta");
        QTest::addColumn<QString>("esito");
        QTest::newRow("1.10 after 1.9") << "1.9" << feed("1.10") << "1.10" << "";
        QTest::newRow("1.2.0 is 1.2") << "1.2" << feed("1.2.0") << "" << "Sei già aggiornato.";
        QTest::newRow("2.0b1 is 2.0") << "2.0" << feed("2.0b1") << "" << "Sei già aggiornato.";
        QTest::newRow("older") << "2.0" << feed("1.9.9") << "" << "Sei già aggiornato.";
        QTest::newRow("unknown running version") << "?" << feed("0.1") << "0.1" << "";
        QTest::newRow("minimum 99") << "1.0" << feed("2.0", ",\"minimoMacOS\":\"99\"") << "" << "Sei già aggiornato.";
        QTest::newRow("empty minimum") << "1.0" << feed("2.0", ",\"minimoMacOS\":\"\"") << "2.0" << "";
        QTest::newRow("letters minimum") << "1.0" << feed("2.0", ",\"minimoMacOS\":\"abc\"") << "2.0" << "";
        QTest::newRow("not json") << "1.0" << QByteArray("<html/>") << "" << "Impossibile controllare ora.";
        QTest::newRow("numeric version") << "1.0" << QByteArray("{\"versione\":3,\"download\":\"https://a\"}") << ""
                                         << "Impossibile controllare ora.";
        QTest::newRow("no download") << "1.0" << QByteArray("{\"versione\":\"3\"}") << "" << "Impossibile controllare ora.";
    }
    void evaluationOfTheAnnouncedVersion()
    {
        QFETCH(QString, inUso);
        QFETCH(QByteArray, corpo);
        QFETCH(QString, offerta);
        QFETCH(QString, esito);
        auto b = banco(inUso);
        QSignalSpy verifica(b->m.get(), &AggiornamentoManager::verificaInCorsoChanged);
        b->m->controllaAggiornamenti(true);
        QVERIFY(b->m->verificaInCorso());
        b->lettore.rispondi(corpo);
        QVERIFY(!b->m->verificaInCorso());
        QCOMPARE(verifica.count(), 2);
        QCOMPARE(b->m->versioneDisponibile(), offerta);
        QCOMPARE(b->m->esitoVerificaManuale(), esito);
        // Only a readable document counts as a check.
        QCOMPARE(b->defaults.contains(AggiornamentoManager::kChiaveUltimaVerifica),
                 esito != QLatin1String("Impossibile controllare ora."));
    }

    void linksOfTheOffer_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QUrl>("download");
        QTest::addColumn<QUrl>("pacchetto");
        QTest::newRow("no package") << QString() << QUrl("https://halvora.app/v") << QUrl();
        QTest::newRow("package") << ",\"pacchetto\":\"https://halvora.app/p.zip\"" << QUrl("https://halvora.app/v")
                                 << QUrl("https://halvora.app/p.zip");
        QTest::newRow("plain http package") << ",\"pacchetto\":\"http://halvora.app/p.zip\"" << QUrl("https://halvora.app/v")
                                            << QUrl();
        QTest::newRow("file package") << ",\"pacchetto\":\"file:///tmp/p.zip\"" << QUrl("https://halvora.app/v") << QUrl();
    }
    void linksOfTheOffer()
    {
        QFETCH(QString, extra);
        QFETCH(QUrl, download);
        QFETCH(QUrl, pacchetto);
        auto b = banco("1.0");
        b->manuale(feed("2.0", extra));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.0"));
        QCOMPARE(b->m->urlDownload(), download);
        QCOMPARE(b->m->urlPacchetto(), pacchetto);
    }

    void aDownloadLinkThatIsNotHttpsStillOffersButOpensNothing()
    {
        auto b = banco("1.0");
        b->manuale(QByteArray("{\"versione\":\"2.0\",\"download\":\"javascript:alert(1)\"}"));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.0"));
        QVERIFY(b->m->urlDownload().isEmpty());
        b->m->apriPaginaDownload();
        QVERIFY(b->aperti.isEmpty());
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.0"));
    }

    void openingTheDownloadPageOrDecliningEndsTheOffer()
    {
        auto b = banco("1.0");
        b->manuale(feed("2.0"));
        b->m->apriPaginaDownload();
        QCOMPARE(b->aperti, QList<QUrl>{QUrl("https://halvora.app/v")});
        QVERIFY(b->m->versioneDisponibile().isEmpty());
        QVERIFY(!b->defaults.contains(AggiornamentoManager::kChiaveVersioneIgnorata));

        b->manuale(feed("2.0"));
        b->m->ignoraVersione();
        QVERIFY(b->m->versioneDisponibile().isEmpty());
        QCOMPARE(b->defaults.value(AggiornamentoManager::kChiaveVersioneIgnorata).toString(), QStringLiteral("2.0"));
    }

    void theDeclinedVersionStaysHiddenOnlyForAutomaticChecks()
    {
        auto b = banco("1.0");
        b->defaults.setValue(AggiornamentoManager::kChiaveVersioneIgnorata, "2.0");
        b->m->controllaAggiornamenti(false);
        b->lettore.rispondi(feed("2.0"));
        QVERIFY(b->m->versioneDisponibile().isEmpty());
        // A different version is offered again.
        b->m->controllaAggiornamenti(false);
        b->lettore.rispondi(feed("2.1"));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.1"));
        // An offer already shown stays when the declined one comes back.
        b->defaults.setValue(AggiornamentoManager::kChiaveVersioneIgnorata, "2.1");
        b->m->controllaAggiornamenti(false);
        b->lettore.rispondi(feed("2.1"));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.1"));
        b->m->ignoraVersione();
        b->manuale(feed("2.1"));
        QCOMPARE(b->m->versioneDisponibile(), QStringLiteral("2.1"));
        QVERIFY(b->m->esitoVerificaManuale().isEmpty());
    }

    void aMinimumTooHighWithdrawsAShownOffer()
    {
        auto b = banco("1.0");
        b->manuale(feed("2.0", ",\"pacchetto\":\"https://halvora.app/p.zip\""));
        b->manuale(feed("2.0", ",\"minimoMacOS\":\"99\",\"pacchetto\":\"https://halvora.app/q.zip\""));
        QVERIFY(b->m->versioneDisponibile().isEmpty());
        QCOMPARE(b->m->esitoVerificaManuale(), QStringLiteral("Sei già aggiornato."));
        // The links are left as they were.
        QCOMPARE(b->m->urlPacchetto(), QUrl("https://halvora.app/p.zip"));
    }

    void aManualCheckWhileOneRunsIsDropped()
    {
        auto b = banco("2.0");
        b->manuale(feed("1.0"));
        QCOMPARE(b->m->esitoVerificaManuale(), QStringLiteral("Sei già aggiornato."));
        b->defaults.remove(AggiornamentoManager::kChiaveUltimaVerifica);
        b->m->controllaSeDovuto();
        QCOMPARE(b->lettore.richieste, 2);
        b->m->controllaAggiornamenti(true);
        b->m->controllaSeDovuto();
        QCOMPARE(b->lettore.richieste, 2);
        QCOMPARE(b->m->esitoVerificaManuale(), QStringLiteral("Sei già aggiornato."));
        // The automatic check that ran sets no manual result.
        b->lettore.rispondi(std::nullopt);
        QCOMPARE(b->m->esitoVerificaManuale(), QStringLiteral("Sei già aggiornato."));
        QVERIFY(!b->m->verificaInCorso());
    }

    void theTimerReadsTheFeedAtMostOnceADay()
    {
        auto b = banco("2.0");
        QCOMPARE(b->lettore.richieste, 0); // construction checks nothing
        b->clock.advance(10799);
        QCOMPARE(b->lettore.richieste, 0);
        b->clock.advance(1);
        QCOMPARE(b->lettore.richieste, 1);
        b->lettore.rispondi(feed("2.0"));
        // Seven more firings within the day do nothing.
        b->clock.advance(7 * 10800);
        QCOMPARE(b->lettore.richieste, 1);
        // The first firing a full day after the check reads the feed.
        b->clock.advance(10800);
        QCOMPARE(b->lettore.richieste, 2);
    }

    void aFailedCheckIsRetriedByTheNextFiringOrAWake()
    {
        auto b = banco("2.0");
        b->clock.advance(10800);
        b->lettore.rispondi(std::nullopt);
        QVERIFY(!b->defaults.contains(AggiornamentoManager::kChiaveUltimaVerifica));
        b->clock.advance(10800);
        QCOMPARE(b->lettore.richieste, 2);
        b->lettore.rispondi(QByteArray("{}")); // unreadable: still nothing stored

        b->clock.advance(100);
        emit b->risveglio.risvegliato();
        b->clock.advance(19.9);
        QCOMPARE(b->lettore.richieste, 2);
        b->clock.advance(0.1);
        QCOMPARE(b->lettore.richieste, 3);
        b->lettore.rispondi(feed("2.0"));
        // After a success a wake waits for the day to pass.
        emit b->risveglio.risvegliato();
        b->clock.advance(20);
        QCOMPARE(b->lettore.richieste, 3);
    }

    void theStoredDateOfTheLastCheck_data()
    {
        QTest::addColumn<QVariant>("salvato");
        QTest::addColumn<bool>("controlla");
        const QDateTime ora = FakeClock().now();
        QTest::newRow("none") << QVariant() << true;
        QTest::newRow("an hour ago") << QVariant(ora.addSecs(-3600)) << false;
        QTest::newRow("a day ago") << QVariant(ora.addSecs(-86400)) << true;
        QTest::newRow("an hour ahead") << QVariant(ora.addSecs(3600)) << false;
        QTest::newRow("two days ahead") << QVariant(ora.addDays(2)) << true;
        QTest::newRow("years ahead") << QVariant(ora.addYears(30)) << true;
        QTest::newRow("not a date") << QVariant("ieri") << true;
    }
    void theStoredDateOfTheLastCheck()
    {
        QFETCH(QVariant, salvato);
        QFETCH(bool, controlla);
        auto b = banco();
        if (salvato.isValid())
            b->defaults.setValue(AggiornamentoManager::kChiaveUltimaVerifica, salvato);
        b->m->controllaSeDovuto();
        QCOMPARE(b->lettore.richieste, controlla ? 1 : 0);
    }

    void anAnswerAfterTheManagerIsGoneIsDropped()
    {
        auto b = banco("1.0");
        b->m->controllaAggiornamenti(true);
        b->m.reset();
        b->lettore.rispondi(feed("2.0"));
        QVERIFY(!b->defaults.contains(AggiornamentoManager::kChiaveUltimaVerifica));
        QCOMPARE(b->clock.pending(), 0);
    }

    void overHttpsFromALoopbackServer()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        ServerHttpsLocale server;
        QVERIFY(server.avvia());
        FakeClock clock;
        UserDefaults defaults(dir.filePath("https.ini"));
        LettoreFeedHttps lettore({server.endpoint(), server.fiducia(), 5000});
        AggiornamentoManager::Opzioni o;
        o.versioneInUso = "1.9";
        AggiornamentoManager m(defaults, clock, lettore, nullptr, o);

        server.risposta.corpo = feed("1.10", ",\"pacchetto\":\"https://halvora.app/p.zip\"");
        clock.advance(10800);
        QVERIFY(m.verificaInCorso());
        QTRY_VERIFY_WITH_TIMEOUT(!m.verificaInCorso(), 8000);
        QCOMPARE(m.versioneDisponibile(), QStringLiteral("1.10"));
        QCOMPARE(m.urlPacchetto(), QUrl("https://halvora.app/p.zip"));
        QCOMPARE(defaults.value(AggiornamentoManager::kChiaveUltimaVerifica).toDateTime(), clock.now());

        server.risposta = {404, feed("9.0"), true, false};
        m.controllaAggiornamenti(true);
        QTRY_VERIFY_WITH_TIMEOUT(!m.verificaInCorso(), 8000);
        QCOMPARE(m.esitoVerificaManuale(), QStringLiteral("Impossibile controllare ora."));
        QCOMPARE(m.versioneDisponibile(), QStringLiteral("1.10"));
    }
};

QTEST_GUILESS_MAIN(TestAggiornamentoManager)
#include "tst_AggiornamentoManager.moc"
