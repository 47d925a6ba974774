#include "FeedAggiornamenti.h"

#include <QTest>

using namespace FeedAggiornamenti;

class TestFeedAggiornamenti : public QObject {
    Q_OBJECT

private slots:
    void versionComparison_data()
    {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("seconda");
        QTest::addColumn<bool>("precede");
        QTest::newRow("1.9 < 1.10") << "1.9" << "1.10" << true;
        QTest::newRow("1.10 > 1.9") << "1.10" << "1.9" << false;
        QTest::newRow("1.2 = 1.2.0") << "1.2" << "1.2.0" << false;
        QTest::newRow("1.2.0 = 1.2") << "1.2.0" << "1.2" << false;
        QTest::newRow("1.9.9 < 2") << "1.9.9" << "2" << true;
        QTest::newRow("1.2.3 < 1.10") << "1.2.3" << "1.10" << true;
        QTest::newRow("2.0b1 is not newer than 2.0") << "2.0" << "2.0b1" << false;
        QTest::newRow("2.0b1 is not older either") << "2.0b1" << "2.0" << false;
        QTest::newRow("empty pieces dropped") << "1..2" << "1.2" << false;
        QTest::newRow("leading dot") << ".5" << "5" << false;
        QTest::newRow("unknown local version reads 0") << "?" << "0.1" << true;
        QTest::newRow("signed pieces") << "+1.-1" << "1.0" << true;
        QTest::newRow("lone sign is 0") << "1.-" << "1.0.1" << true;
        QTest::newRow("overflow is 0") << "1.99999999999999999999" << "1.1" << true;
        QTest::newRow("spaces are not numbers") << "1. 5" << "1.1" << true;
        QTest::newRow("equal") << "3.4.5" << "3.4.5" << false;
    }
    void versionComparison()
    {
        QFETCH(QString, prima);
        QFETCH(QString, seconda);
        QFETCH(bool, precede);
        QCOMPARE(versionePrecede(prima, seconda), precede);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<bool>("leggibile");
        QTest::addColumn<bool>("conMinimo");
        QTest::addColumn<bool>("conPacchetto");
        QTest::newRow("full") << QByteArray(R"({"versione":"2.1","minimoMacOS":"14","download":"https://a","pacchetto":"https://b","altro":[1]})")
                              << true << true << true;
        QTest::newRow("required only") << QByteArray(R"({"versione":"2.1","download":"x"})") << true << false << false;
        QTest::newRow("null optionals") << QByteArray(R"({"versione":"2","download":"x","minimoMacOS":null,"pacchetto":null})")
                                        << true << false << false;
        QTest::newRow("no versione") << QByteArray(R"({"download":"x"})") << false << false << false;
        QTest::newRow("no download") << QByteArray(R"({"versione":"2"})") << false << false << false;
        QTest::newRow("numeric versione") << QByteArray(R"({"versione":2.1,"download":"x"})") << false << false << false;
        QTest::newRow("null versione") << QByteArray(R"({"versione":null,"download":"x"})") << false << false << false;
        QTest::newRow("object download") << QByteArray(R"({"versione":"2","download":{"u":"x"}})") << false << false << false;
        QTest::newRow("numeric minimum") << QByteArray(R"({"versione":"2","download":"x","minimoMacOS":14})") << false << false << false;
        QTest::newRow("list package") << QByteArray(R"({"versione":"2","download":"x","pacchetto":["y"]})") << false << false << false;
        QTest::newRow("array") << QByteArray(R"([{"versione":"2","download":"x"}])") << false << false << false;
        QTest::newRow("not json") << QByteArray("<html>404</html>") << false << false << false;
        QTest::newRow("trailing garbage") << QByteArray(R"({"versione":"2","download":"x"} x)") << false << false << false;
        QTest::newRow("empty") << QByteArray() << false << false << false;
        QByteArray enorme = R"({"versione":"2","download":"x","altro":")" + QByteArray(kCorpoMassimo, 'a') + "\"}";
        QTest::newRow("over the limit") << enorme << false << false << false;
    }
    void decoding()
    {
        QFETCH(QByteArray, corpo);
        QFETCH(bool, leggibile);
        QFETCH(bool, conMinimo);
        QFETCH(bool, conPacchetto);
        const auto r = decodifica(corpo);
        QCOMPARE(r.has_value(), leggibile);
        if (!r)
            return;
        QCOMPARE(r->minimoMacOS.has_value(), conMinimo);
        QCOMPARE(r->pacchetto.has_value(), conPacchetto);
        QVERIFY(!r->versione.isEmpty());
    }

    void minimumSystem_data()
    {
        QTest::addColumn<QVariant>("minimo");
        QTest::addColumn<bool>("adatto");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("below") << QVariant("13.5") << true;
        QTest::newRow("equal") << QVariant("14.2.1") << true;
        QTest::newRow("patch above") << QVariant("14.2.2") << false;
        QTest::newRow("99") << QVariant("99") << false;
        QTest::newRow("empty") << QVariant("") << true;
        QTest::newRow("letters") << QVariant("abc") << true;
        QTest::newRow("fourth number ignored") << QVariant("14.2.1.9") << true;
    }
    void minimumSystem()
    {
        QFETCH(QVariant, minimo);
        QFETCH(bool, adatto);
        // A system at 14.2.1.
        const SistemaAlmeno sistema = [](int a, int b, int c) {
            return std::tuple(14, 2, 1) >= std::tuple(a, b, c);
        };
        const auto m = minimo.isValid() ? std::optional(minimo.toString()) : std::nullopt;
        QCOMPARE(sistemaAdatto(m, sistema), adatto);
    }

    void onlyHttpsLinksWithAHost_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<bool>("accettato");
        QTest::newRow("https") << "https://halvora.app/scarica" << true;
        QTest::newRow("upper-case scheme") << "HTTPS://halvora.app/p.zip" << true;
        QTest::newRow("http") << "http://halvora.app/p.zip" << false;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("no host") << "https:///p.zip" << false;
        QTest::newRow("relative") << "/p.zip" << false;
        QTest::newRow("not a url") << "https://exa mple.com" << false;
        QTest::newRow("empty") << "" << false;
    }
    void onlyHttpsLinksWithAHost()
    {
        QFETCH(QString, testo);
        QFETCH(bool, accettato);
        QCOMPARE(urlSicuro(testo).has_value(), accettato);
    }
};

QTEST_GUILESS_MAIN(TestFeedAggiornamenti)
#include "tst_FeedAggiornamenti.moc"
