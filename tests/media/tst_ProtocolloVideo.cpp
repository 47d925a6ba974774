#include "ProtocolloVideo.h"
#include "SovrapposizioneVideo.h"

#include <QJsonDocument>
#include <QTest>
#include <cmath>

using namespace ProtocolloVideo;

class TestProtocolloVideo : public QObject {
    Q_OBJECT

private slots:
    void pageValuesAreCheckedAndEncoded()
    {
        const auto p = pagina(QStringLiteral("dQw4w9WgXcQ"), 61.9, QStringLiteral("en"), true);
        QVERIFY(p);
        QCOMPARE(p->inizio, 61);
        for (const auto& [id, inizio, lingua] :
             {std::tuple{"dQw4w9WgXc", 0.0, "it"}, {"dQw4w9WgXc\"", 0.0, "it"}, {"dQw4w9WgXcQ", -1.0, "it"},
              {"dQw4w9WgXcQ", NAN, "it"}, {"dQw4w9WgXcQ", INFINITY, "it"}, {"dQw4w9WgXcQ", 0.0, "ITA"},
              {"dQw4w9WgXcQ", 0.0, "e1"}})
            QVERIFY2(!pagina(QString::fromLatin1(id), inizio, QString::fromLatin1(lingua), false), id);
        QCOMPARE(lingua(QStringLiteral("es-ES")), QStringLiteral("es"));
        QCOMPARE(lingua(QString()), QStringLiteral("it"));

        const QUrl servizio(QStringLiteral("https://www.youtube.com"));
        const QString h = html(*p, servizio);
        QVERIFY(h.contains(QLatin1String(R"("id":"dQw4w9WgXcQ")")));
        QVERIFY(h.contains(QLatin1String(R"("inizio":61)")));
        QVERIFY(h.contains(QLatin1String(R"("muto":true)")));
        // Even a value that slipped past the checks cannot end the script.
        const QString ostile = html(Pagina{QStringLiteral("</script><img src=x onerror=alert(1)>"), 0,
                                           QStringLiteral("it"), false},
                                    servizio);
        QCOMPARE(ostile.count(QLatin1String("</script>")), 1);
        QVERIFY(!ostile.contains(QLatin1String("<img")));
    }

    void originsAreHttpsOrLoopback()
    {
        QCOMPARE(origine(QStringLiteral("https://www.youtube.com/")), QUrl(QStringLiteral("https://www.youtube.com")));
        QCOMPARE(origine(QStringLiteral("http://127.0.0.1:8123")), QUrl(QStringLiteral("http://127.0.0.1:8123")));
        for (const char* no : {"http://example.com", "https://u:p@example.com", "https://example.com/x",
                               "https://example.com?q", "file:///tmp", "javascript:alert(1)", ""})
            QVERIFY2(!origine(QString::fromLatin1(no)), no);
    }

    void pageMessages_data()
    {
        QTest::addColumn<QByteArray>("ingresso");
        QTest::addColumn<QByteArray>("uscita"); // empty: refused
        QTest::newRow("ready") << QByteArray(R"({"tipo":"pronto","x":1})") << QByteArray(R"({"tipo":"pronto"})");
        QTest::newRow("state") << QByteArray(R"({"tipo":"stato","valore":1,"t":3.5})")
                               << QByteArray(R"({"t":3.5,"tipo":"stato","valore":1})");
        QTest::newRow("error without code") << QByteArray(R"({"tipo":"errore"})") << QByteArray(R"({"tipo":"errore"})");
        QTest::newRow("aligned") << QByteArray(R"({"tipo":"allineato","scarto":-0.2,"a":9})")
                                 << QByteArray(R"({"a":9,"scarto":-0.2,"tipo":"allineato"})");
        QTest::newRow("unknown type") << QByteArray(R"({"tipo":"apri","url":"x"})") << QByteArray();
        QTest::newRow("unknown state") << QByteArray(R"({"tipo":"stato","valore":4})") << QByteArray();
        QTest::newRow("time as text") << QByteArray(R"({"tipo":"tempo","t":"1"})") << QByteArray();
        QTest::newRow("infinite time") << QByteArray(R"({"tipo":"tempo","t":1e999})") << QByteArray();
        QTest::newRow("time missing") << QByteArray(R"({"tipo":"tempo"})") << QByteArray();
        QTest::newRow("fractional code") << QByteArray(R"({"tipo":"errore","codice":1.5})") << QByteArray();
        QTest::newRow("not an object") << QByteArray("[1]") << QByteArray();
        QTest::newRow("too long") << QByteArray(R"({"tipo":"pronto","r":")") + QByteArray(600, 'a') + "\"}"
                                  << QByteArray();
    }
    void pageMessages()
    {
        QFETCH(QByteArray, ingresso);
        QFETCH(QByteArray, uscita);
        const auto m = messaggioPagina(ingresso);
        QCOMPARE(m ? QJsonDocument(*m).toJson(QJsonDocument::Compact) : QByteArray(), uscita);
    }

    void linesAreBounded()
    {
        Righe r;
        r.aggiungi(QByteArray(kMassimoRiga + 10, 'x'));
        r.aggiungi("yy\n{\"a\":1}\n{\"b\"");
        QCOMPARE(r.prossima(), std::optional<QByteArray>("{\"a\":1}"));
        QCOMPARE(r.prossima(), std::nullopt);
        r.aggiungi(":2}\n");
        QCOMPARE(r.prossima(), std::optional<QByteArray>("{\"b\":2}"));
    }

    void theCardsLayersTravelAndHitTest()
    {
        SovrapposizioneVideo::Vista v;
        v.testo = QStringLiteral("Apro il video…");
        v.aiutoChiudi = QStringLiteral("Chiudi");
        QCOMPARE(SovrapposizioneVideo::daJson(SovrapposizioneVideo::json(v)), v);
        QJsonObject lungo = SovrapposizioneVideo::json(v);
        lungo.insert(QStringLiteral("avviso"), QString(kMassimoTesto + 1, QLatin1Char('a')));
        QVERIFY(!SovrapposizioneVideo::daJson(lungo));

        using Z = SovrapposizioneVideo::Zona;
        const QSizeF lato(320, 180);
        // Opening: only the close button, top right; no handle.
        QCOMPARE(SovrapposizioneVideo::zona({300, 20}, lato, v), Z::chiudi);
        QCOMPARE(SovrapposizioneVideo::zona({270, 20}, lato, v), Z::nessuna);
        QCOMPARE(SovrapposizioneVideo::zona({310, 170}, lato, v), Z::nessuna);
        v.aperto = true;
        QCOMPARE(SovrapposizioneVideo::zona({270, 20}, lato, v), Z::riporta);
        QCOMPARE(SovrapposizioneVideo::zona({240, 20}, lato, v), Z::alterna);
        QCOMPARE(SovrapposizioneVideo::zona({310, 170}, lato, v), Z::maniglia);
        QCOMPARE(SovrapposizioneVideo::zona({160, 90}, lato, v), Z::nessuna);
    }
};

QTEST_GUILESS_MAIN(TestProtocolloVideo)
#include "tst_ProtocolloVideo.moc"
