#include "PlayerTaccaAiutante.h"
#include "ServizioVideoFinto.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <signal.h>

namespace {

// The messages of one type the player passed on, as objects.
QList<QJsonObject> diTipo(const QStringList& messaggi, const QString& tipo)
{
    QList<QJsonObject> l;
    for (const QString& m : messaggi) {
        const QJsonObject o = QJsonDocument::fromJson(m.toUtf8()).object();
        if (o.value(QLatin1String("tipo")).toString() == tipo)
            l << o;
    }
    return l;
}

struct Banco {
    ServizioVideoFinto servizio;
    PlayerTaccaAiutante player{{HALVORA_VIDEO_TEST, servizio.origine(), servizio.origine(), QStringLiteral("it")}};
    QStringList messaggi;

    Banco()
    {
        QObject::connect(&player, &PlayerTacca::messaggio, &player, [this](const QString& m) { messaggi << m; });
    }
    bool arriva(const QString& tipo, int quanti = 1, int ms = 30000)
    {
        return QTest::qWaitFor([&] { return diTipo(messaggi, tipo).size() >= quanti; }, ms);
    }
    double ultimoTempo() { return diTipo(messaggi, QStringLiteral("tempo")).last().value(QLatin1String("t")).toDouble(); }
};

} // namespace

class TestPlayerTaccaAiutante : public QObject {
    Q_OBJECT

private slots:
    void playsSeeksAndPausesThePage()
    {
        Banco b;
        QVERIFY(b.servizio.pronto());
        QSignalSpy finestra(&b.player, &PlayerTacca::finestraChanged);
        b.player.carica(QStringLiteral("Prova_00001"), 3.7, true);
        QVERIFY(QTest::qWaitFor([&] { return b.player.finestra().has_value(); }, 20000));
        b.player.mostraFinestra();
        QVERIFY(b.arriva(QStringLiteral("pronto")));
        QVERIFY(b.arriva(QStringLiteral("stato")));
        QCOMPARE(diTipo(b.messaggi, QStringLiteral("stato")).first().value(QLatin1String("valore")).toInt(), 1);
        // Muted from the start, started at the whole second, subtitles
        // unloaded once. (A tick before the clip loaded may have said 0.)
        QVERIFY(b.arriva(QStringLiteral("tempo"), int(diTipo(b.messaggi, QStringLiteral("tempo")).size()) + 1));
        QVERIFY(b.ultimoTempo() >= 3.0);
        QVERIFY(QTest::qWaitFor([&] { return b.servizio.richieste.contains(QStringLiteral("/nota/tolto-captions")); }, 5000));
        QVERIFY(b.servizio.richieste.contains(QStringLiteral("/nota/muto")));
        // A seek more than 0.3 s away moves the player; the clip came in ranges.
        b.player.allinea(12.5);
        QVERIFY(b.arriva(QStringLiteral("allineato")));
        const QJsonObject a = diTipo(b.messaggi, QStringLiteral("allineato")).first();
        QCOMPARE(a.value(QLatin1String("a")).toDouble(), 12.5);
        QVERIFY(a.value(QLatin1String("scarto")).toDouble() < -5);
        QVERIFY(QTest::qWaitFor([&] { return b.ultimoTempo() >= 12.5; }, 10000));
        QVERIFY(b.servizio.richieste.contains(QStringLiteral("206 /media.webm")));
        QCOMPARE(b.servizio.richieste.count(QStringLiteral("/nota/tolto-captions")), 1);
        std::optional<double> t;
        bool risposto = false;
        b.player.chiediTempo([&](std::optional<double> v) {
            t = v;
            risposto = true;
        });
        QVERIFY(QTest::qWaitFor([&] { return risposto; }, 5000));
        QVERIFY(t && *t >= 12.5);
        b.player.alterna();
        QVERIFY(QTest::qWaitFor(
            [&] {
                const auto s = diTipo(b.messaggi, QStringLiteral("stato"));
                return s.last().value(QLatin1String("valore")).toInt() == 2;
            },
            10000));
        // Emptying ends the helper and its window; nothing more arrives.
        const qint64 pid = b.player.pidAiutante();
        b.player.svuota();
        QVERIFY(!b.player.finestra());
        QVERIFY(QTest::qWaitFor([&] { return ::kill(pid_t(pid), 0) != 0; }, 8000));
        bool dopo = false;
        b.player.chiediTempo([&](std::optional<double> v) { dopo = !v; });
        QVERIFY(dopo);
    }

    void thePageCannotLeaveNorAskForPermissions()
    {
        Banco b;
        b.player.carica(QStringLiteral("Fughe000000"), 0, false);
        QVERIFY(QTest::qWaitFor([&] { return b.player.finestra().has_value(); }, 20000));
        b.player.mostraFinestra();
        QVERIFY(QTest::qWaitFor([&] { return b.servizio.richieste.contains(QStringLiteral("/nota/ancora-qui")); },
                                30000));
        QTest::qWait(500);
        QVERIFY(b.servizio.richieste.contains(QStringLiteral("/nota/finestra-rifiutata")));
        QVERIFY(b.servizio.richieste.contains(QStringLiteral("/nota/geo-1")));
        for (const char* fuga : {"/nota/finestra", "/nota/fuga", "/nota/cornice", "/nota/geo-concessa"})
            QVERIFY2(!b.servizio.richieste.contains(QLatin1String(fuga)), fuga);
    }

    void errorsOfThePageAndOfTheHelper()
    {
        Banco b;
        b.player.carica(QStringLiteral("Errore150_0"), 0, false);
        QVERIFY(b.arriva(QStringLiteral("errore")));
        QCOMPARE(diTipo(b.messaggi, QStringLiteral("errore")).first().value(QLatin1String("codice")).toInt(), 150);
        // Values the page may not get are refused before any helper is asked.
        b.player.svuota();
        b.messaggi.clear();
        b.player.carica(QStringLiteral("x\"</script>"), 0, false);
        QVERIFY(b.arriva(QStringLiteral("errore"), 1, 1000));
        QVERIFY(!b.player.inEsecuzione());
        // A helper that dies while a page is loaded reports it as the page would.
        b.messaggi.clear();
        b.player.carica(QStringLiteral("MaiPronto_0"), 0, false);
        QVERIFY(QTest::qWaitFor([&] { return b.player.finestra().has_value(); }, 20000));
        ::kill(pid_t(b.player.pidAiutante()), SIGKILL);
        QVERIFY(b.arriva(QStringLiteral("errore"), 1, 5000));
        QVERIFY(!diTipo(b.messaggi, QStringLiteral("errore")).first().contains(QLatin1String("codice")));
        QVERIFY(!b.player.finestra());
    }
};

QTEST_MAIN(TestPlayerTaccaAiutante)
#include "tst_PlayerTaccaAiutante.moc"
