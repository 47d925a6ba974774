#include "FeedAggiornamenti.h"
#include "LettoreFeedHttps.h"
#include "ServerHttpsLocale.h"

#include <QTest>

class TestLettoreFeedHttps : public QObject {
    Q_OBJECT
    ServerHttpsLocale server;

    static std::optional<QByteArray> leggi(LettoreFeedHttps& lettore)
    {
        bool finito = false;
        std::optional<QByteArray> esito;
        lettore.richiedi([&](std::optional<QByteArray> corpo) {
            esito = std::move(corpo);
            finito = true;
        });
        if (!QTest::qWaitFor([&] { return finito; }, 8000))
            qFatal("the feed reader never answered");
        return esito;
    }
    LettoreFeedHttps::Opzioni opzioni(int timeoutMs = 5000) const
    {
        return {server.endpoint(), server.fiducia(), timeoutMs};
    }

private slots:
    void initTestCase()
    {
        if (!QSslSocket::supportsSsl())
            QSKIP("no TLS backend");
        QVERIFY2(server.avvia(), "openssl could not make the test certificate");
    }
    void init()
    {
        server.risposta = {};
        server.richieste.clear();
    }

    void onlyASmall2xxAnswerIsABody_data()
    {
        QTest::addColumn<int>("stato");
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<bool>("conLunghezza");
        QTest::addColumn<bool>("letto");
        const QByteArray feed = R"({"versione":"2.1","download":"https://x.it"})";
        const qint64 max = FeedAggiornamenti::kCorpoMassimo;
        QTest::newRow("200") << 200 << feed << true << true;
        QTest::newRow("200 without length") << 200 << feed << false << true;
        QTest::newRow("203") << 203 << feed << true << true;
        QTest::newRow("300 with a feed") << 300 << feed << true << false;
        QTest::newRow("404 with a feed") << 404 << feed << true << false;
        QTest::newRow("500") << 500 << feed << true << false;
        QTest::newRow("exactly the limit") << 200 << QByteArray(max, ' ') << true << true;
        QTest::newRow("one byte over, declared") << 200 << QByteArray(max + 1, ' ') << true << false;
        QTest::newRow("huge, undeclared") << 200 << QByteArray(4 * 1024 * 1024, 'x') << false << false;
    }
    void onlyASmall2xxAnswerIsABody()
    {
        QFETCH(int, stato);
        QFETCH(QByteArray, corpo);
        QFETCH(bool, conLunghezza);
        QFETCH(bool, letto);
        server.risposta = {stato, corpo, conLunghezza, false};
        LettoreFeedHttps lettore(opzioni());
        const auto esito = leggi(lettore);
        QCOMPARE(esito.has_value(), letto);
        if (letto)
            QCOMPARE(*esito, corpo);
    }

    void asksForTheDocumentFreshEachTime()
    {
        server.risposta.corpo = "{}";
        LettoreFeedHttps lettore(opzioni());
        QVERIFY(leggi(lettore));
        QVERIFY(leggi(lettore));
        QCOMPARE(server.richieste.size(), 2);
        for (const QByteArray& r : server.richieste) {
            QVERIFY2(r.startsWith("GET /aggiornamenti.json HTTP/1.1\r\n"), r.constData());
            QVERIFY(r.toLower().contains("cache-control: no-cache"));
        }
    }

    void refusesWhatIsNotTrustedHttps()
    {
        server.risposta.corpo = "{}";
        // The system's trust store does not know the throwaway certificate.
        LettoreFeedHttps sconosciuto({server.endpoint(), QSslConfiguration::defaultConfiguration(), 5000});
        QCOMPARE(leggi(sconosciuto), std::nullopt);
        QUrl inChiaro = server.endpoint();
        inChiaro.setScheme("http");
        LettoreFeedHttps http({inChiaro, server.fiducia(), 5000});
        QCOMPARE(leggi(http), std::nullopt);
        QVERIFY(server.richieste.isEmpty());
    }

    void aSilentServerTimesOut()
    {
        server.risposta.silenzio = true;
        LettoreFeedHttps lettore(opzioni(300));
        QCOMPARE(leggi(lettore), std::nullopt);
    }

    void aReaderGoneWithARequestInFlightCallsNothing()
    {
        server.risposta.silenzio = true;
        bool chiamato = false;
        const int prima = server.connessioni;
        {
            LettoreFeedHttps lettore(opzioni());
            lettore.richiedi([&](std::optional<QByteArray>) { chiamato = true; });
            // Sockets of earlier tests may close meanwhile, so count accepts, not live sockets.
            QTRY_VERIFY(server.connessioni > prima);
        }
        QTest::qWait(50);
        QVERIFY(!chiamato);
    }

    void theDocumentPathIsFixed()
    {
        QCOMPARE(LettoreFeedHttps::urlDocumento(QUrl("https://h.example:8443/altro/?a=1#f")),
                 QUrl("https://h.example:8443/aggiornamenti.json"));
        QCOMPARE(LettoreFeedHttps::endpointPredefinito().scheme(), QStringLiteral("https"));
    }
};

QTEST_GUILESS_MAIN(TestLettoreFeedHttps)
#include "tst_LettoreFeedHttps.moc"
