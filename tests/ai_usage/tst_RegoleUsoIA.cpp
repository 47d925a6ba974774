#include "RegoleUsoIA.h"

#include <QTest>

using namespace RegoleUsoIA;

namespace {

const QDateTime kAdesso = QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC);

std::optional<LimiteIA> finestra(int percento, bool critico = false, std::optional<QDateTime> azzera = std::nullopt)
{
    if (percento < 0)
        return std::nullopt;
    return LimiteIA{percento, azzera, critico};
}

LetturaUsoIA lettura(FornitoreIA f, std::optional<LimiteIA> s, std::optional<LimiteIA> w, double etaSecondi = 0)
{
    return {f, s, w, kAdesso.addMSecs(-static_cast<qint64>(etaSecondi * 1000))};
}

StatoUsoIA stato(FornitoreIA f, int s, int w)
{
    return {lettura(f, finestra(s), finestra(w)), true};
}

} // namespace

class TestRegoleUsoIA : public QObject {
    Q_OBJECT

private slots:
    void exhaustedAndExpired_data()
    {
        QTest::addColumn<int>("percento");
        QTest::addColumn<bool>("critico");
        QTest::addColumn<bool>("esaurito");
        QTest::newRow("100") << 100 << false << true;
        QTest::newRow("99 critical") << 99 << true << true;
        QTest::newRow("99") << 99 << false << false;
    }
    void exhaustedAndExpired()
    {
        QFETCH(int, percento);
        QFETCH(bool, critico);
        QFETCH(bool, esaurito);
        QCOMPARE(::esaurito(LimiteIA{percento, std::nullopt, critico}), esaurito);
        QVERIFY(scaduto(LimiteIA{percento, kAdesso, critico}, kAdesso));
        QVERIFY(!scaduto(LimiteIA{percento, kAdesso.addMSecs(1), critico}, kAdesso));
        QVERIFY(!scaduto(LimiteIA{percento, std::nullopt, critico}, kAdesso));
    }

    void readingsEquality()
    {
        const auto a = lettura(FornitoreIA::claude, std::nullopt, finestra(5));
        auto b = lettura(FornitoreIA::claude, finestra(0), finestra(5));
        QVERIFY(a != b);
        b.sessione.reset();
        QVERIFY(a == b);
        b.scrittaIl = b.scrittaIl.addMSecs(1);
        QVERIFY(a != b);
    }

    void ageing_data()
    {
        QTest::addColumn<int>("fornitore");
        QTest::addColumn<double>("eta");
        QTest::addColumn<int>("esito"); // 0 not published, 1 published not current, 2 current
        QTest::newRow("claude 1199") << 0 << 1199.0 << 2;
        QTest::newRow("claude 1200") << 0 << 1200.0 << 2;
        QTest::newRow("claude 1201") << 0 << 1201.0 << 1;
        QTest::newRow("claude 43200") << 0 << 43200.0 << 1;
        QTest::newRow("claude 43201") << 0 << 43201.0 << 0;
        QTest::newRow("codex 43200") << 1 << 43200.0 << 2;
        QTest::newRow("codex 43201") << 1 << 43201.0 << 0;
        QTest::newRow("future") << 0 << -5000.0 << 2;
    }
    void ageing()
    {
        QFETCH(int, fornitore);
        QFETCH(double, eta);
        QFETCH(int, esito);
        const auto f = static_cast<FornitoreIA>(fornitore);
        const auto stati = statiDaLetture({{f, lettura(f, finestra(40), std::nullopt, eta)}}, kAdesso);
        QCOMPARE(int(stati.count(f)), esito > 0 ? 1 : 0);
        if (esito > 0)
            QCOMPARE(stati.at(f).attuale, esito == 2);
    }

    void expiredWindowsAreZeroed()
    {
        const auto l = lettura(FornitoreIA::codex, finestra(100, true, kAdesso.addSecs(-1)),
                               finestra(80, false, kAdesso.addSecs(60)));
        const auto s = statiDaLetture({{FornitoreIA::codex, l}}, kAdesso).at(FornitoreIA::codex);
        QCOMPARE(s.lettura.sessione, finestra(0));
        QCOMPARE(s.lettura.settimana, l.settimana);
        QCOMPARE(s.lettura.scrittaIl, l.scrittaIl);
    }

    void freedWindows_data()
    {
        QTest::addColumn<int>("primaS");
        QTest::addColumn<int>("primaW");
        QTest::addColumn<int>("dopoS");
        QTest::addColumn<int>("dopoW");
        QTest::addColumn<int>("evento"); // -1 none, 0 session, 1 weekly
        QTest::newRow("session freed") << 100 << 20 << 0 << 20 << 0;
        QTest::newRow("both freed: weekly told") << 100 << 100 << 0 << 0 << 1;
        QTest::newRow("session freed, weekly still full") << 100 << 30 << 0 << 100 << -1;
        QTest::newRow("still exhausted") << 100 << 30 << 100 << 30 << -1;
        QTest::newRow("was not exhausted") << 99 << 30 << 0 << 30 << -1;
        QTest::newRow("weekly freed, no session") << -1 << 100 << -1 << 3 << 1;
    }
    void freedWindows()
    {
        QFETCH(int, primaS);
        QFETCH(int, primaW);
        QFETCH(int, dopoS);
        QFETCH(int, dopoW);
        QFETCH(int, evento);
        const Stati prima{{FornitoreIA::claude, stato(FornitoreIA::claude, primaS, primaW)}};
        const Stati dopo{{FornitoreIA::claude, stato(FornitoreIA::claude, dopoS, dopoW)}};
        const auto e = liberati(prima, dopo);
        if (evento < 0) {
            QVERIFY(e.empty());
        } else {
            QCOMPARE(e.size(), size_t(1));
            QCOMPARE(e[0], (Liberato{FornitoreIA::claude, evento == 1}));
        }
        // A provider without an earlier state never produces an event.
        QVERIFY(liberati({}, dopo).empty());
    }

    void limiteDaMostrare_data()
    {
        QTest::addColumn<int>("s");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("mostrato"); // -1 none, 0 session, 1 weekly
        QTest::newRow("40/80") << 40 << 80 << 1;
        QTest::newRow("80/80") << 80 << 80 << 0;
        QTest::newRow("10/74") << 10 << 74 << 0;
        QTest::newRow("10/75") << 10 << 75 << 1;
        QTest::newRow("-/5") << -1 << 5 << 1;
        QTest::newRow("30/-") << 30 << -1 << 0;
        QTest::newRow("-/-") << -1 << -1 << -1;
    }
    void limiteDaMostrare()
    {
        QFETCH(int, s);
        QFETCH(int, w);
        QFETCH(int, mostrato);
        const auto l = lettura(FornitoreIA::claude, finestra(s), finestra(w));
        const auto r = RegoleUsoIA::limiteDaMostrare(l);
        QCOMPARE(r.has_value(), mostrato >= 0);
        if (r) {
            QCOMPARE(r->settimanale, mostrato == 1);
            QCOMPARE(r->limite, mostrato == 1 ? *l.settimana : *l.sessione);
        }
    }

    void closedNotchChoice()
    {
        Stati stati{{FornitoreIA::claude, stato(FornitoreIA::claude, 30, 90)}};
        QVERIFY(!statoPerTacca(stati, std::nullopt));
        QVERIFY(!statoPerTacca(stati, FornitoreIA::codex));
        QCOMPARE(statoPerTacca(stati, FornitoreIA::claude),
                 (SceltaTacca{*finestra(90), true, FornitoreIA::claude}));
        stati[FornitoreIA::claude].attuale = false;
        QVERIFY(!statoPerTacca(stati, FornitoreIA::claude));
        stati[FornitoreIA::claude] = {lettura(FornitoreIA::claude, std::nullopt, std::nullopt), true};
        QVERIFY(!statoPerTacca(stati, FornitoreIA::claude));
    }

    void panelChoice()
    {
        const auto claude = stato(FornitoreIA::claude, 1, 2);
        auto codex = stato(FornitoreIA::codex, 3, 4);
        codex.attuale = false;
        QCOMPARE(statoPerPannello({{FornitoreIA::claude, claude}}, std::nullopt, FornitoreIA::codex), claude);
        QCOMPARE(statoPerPannello({{FornitoreIA::claude, claude}, {FornitoreIA::codex, codex}}, std::nullopt,
                                  FornitoreIA::codex),
                 codex);
        QCOMPARE(statoPerPannello({{FornitoreIA::claude, claude}, {FornitoreIA::codex, codex}}, FornitoreIA::claude,
                                  FornitoreIA::codex),
                 claude);
        QVERIFY(!statoPerPannello({}, FornitoreIA::claude, FornitoreIA::codex));
    }
};

QTEST_GUILESS_MAIN(TestRegoleUsoIA)
#include "tst_RegoleUsoIA.moc"
