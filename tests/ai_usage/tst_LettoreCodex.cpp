#include "AnalisiRigaCodex.h"
#include "FakeClock.h"
#include "FixtureUsoIA.h"
#include "LettoreCodex.h"

#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace FixtureUsoIA;

namespace {

// Midday local time, so that "today" and "yesterday" are plain.
const QDateTime kT0 = QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::LocalTime);
const QDate kOggi = kT0.date();

QString iso(const QDateTime& t)
{
    return t.toUTC().toString(Qt::ISODateWithMs);
}

QByteArray riga(const QDateTime& t, double primaria, std::optional<QString> id = std::nullopt)
{
    return rigaCodex(iso(t), Finestra{primaria, std::nullopt, 3600}, Finestra{10, 1.8e9, std::nullopt}, id);
}

} // namespace

class TestLettoreCodex : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString radice;
    FakeClock clock{kT0};

    std::unique_ptr<LettoreCodex> lettore()
    {
        return std::make_unique<LettoreCodex>([this] { return clock.now(); }, radice);
    }

private slots:
    void init()
    {
        radice = dir.path() + "/" + QString::number(QRandomGenerator::global()->generate()) + "/.codex/sessions";
        clock.setNow(kT0);
    }

    void analizzaFinestra_data()
    {
        QTest::addColumn<double>("usata");
        QTest::addColumn<int>("percentuale"); // -1: no window
        QTest::addColumn<bool>("critico");
        QTest::newRow("100.4") << 100.4 << 100 << true;
        QTest::newRow("99.5") << 99.5 << 100 << true;
        QTest::newRow("99.4") << 99.4 << 99 << false;
        QTest::newRow("104") << 104.0 << 100 << true;
        QTest::newRow("-3") << -3.0 << 0 << false;
        QTest::newRow("31.5") << 31.5 << 32 << false;
        QTest::newRow("1e19") << 1e19 << -1 << false;
        QTest::newRow("-1e300") << -1e300 << -1 << false;
    }
    void analizzaFinestra()
    {
        QFETCH(double, usata);
        QFETCH(int, percentuale);
        QFETCH(bool, critico);
        const auto l = RigaCodex::analizzaFinestra(QJsonObject{{"used_percent", usata}}, kT0);
        QCOMPARE(l.has_value(), percentuale >= 0);
        if (l) {
            QCOMPARE(l->percentuale, percentuale);
            QCOMPARE(l->critico, critico);
        }
    }

    void resetTimes_data()
    {
        QTest::addColumn<QJsonObject>("finestra");
        QTest::addColumn<QDateTime>("atteso");
        const QDateTime dieci(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC);
        QTest::newRow("in seconds") << QJsonObject{{"used_percent", 1}, {"resets_in_seconds", 3600}}
                                    << dieci.addSecs(3600);
        QTest::newRow("resets_at wins")
            << QJsonObject{{"used_percent", 1}, {"resets_in_seconds", 3600}, {"resets_at", 1772460000}}
            << QDateTime::fromSecsSinceEpoch(1772460000, Qt::UTC);
        QTest::newRow("absurd resets_at falls back")
            << QJsonObject{{"used_percent", 1}, {"resets_in_seconds", 60}, {"resets_at", 1e300}} << dieci.addSecs(60);
        QTest::newRow("negative resets_at") << QJsonObject{{"used_percent", 1}, {"resets_at", -5}} << QDateTime();
        QTest::newRow("huge resets_in_seconds") << QJsonObject{{"used_percent", 1}, {"resets_in_seconds", 1e17}}
                                                << QDateTime();
        QTest::newRow("text") << QJsonObject{{"used_percent", 1}, {"resets_at", "1772460000"}} << QDateTime();
    }
    void resetTimes()
    {
        QFETCH(QJsonObject, finestra);
        QFETCH(QDateTime, atteso);
        const auto l = RigaCodex::analizzaFinestra(finestra, QDateTime(QDate(2026, 3, 2), QTime(10, 0), Qt::UTC));
        QVERIFY(l);
        QCOMPARE(l->siAzzera.value_or(QDateTime()), atteso);
    }

    void analizzaRiga_data()
    {
        QTest::addColumn<QByteArray>("riga");
        QTest::addColumn<QString>("atteso"); // "sessione/settimana" percentages, "-" for none
        QTest::newRow("both") << riga(kT0, 40) << "40/10";
        QTest::newRow("limit_id codex") << riga(kT0, 40, QString("codex")) << "40/10";
        QTest::newRow("limit_id other") << riga(kT0, 40, QString("codex_other")) << "-";
        QTest::newRow("only secondary") << rigaCodex(iso(kT0), std::nullopt, Finestra{55, {}, {}}) << "x/55";
        QTest::newRow("neither") << rigaCodex(iso(kT0), std::nullopt, std::nullopt) << "-";
        QTest::newRow("empty primary")
            << QByteArray(R"({"payload":{"rate_limits":{"primary":{},"secondary":{"used_percent":"5"}}}})") << "-";
        QTest::newRow("not an object") << QByteArray(R"(["payload"])") << "-";
        QTest::newRow("payload not object") << QByteArray(R"({"payload":"rate_limits"})") << "-";
        QTest::newRow("truncated") << riga(kT0, 40).chopped(5) << "-";
        QTest::newRow("deep nesting")
            << QByteArray(R"({"payload":{"rate_limits":)") + QByteArray(50000, '[') << "-";
        QTest::newRow("invalid UTF-8") << QByteArray("{\"t\":\"\xFF\xFE\",") + riga(kT0, 40).mid(1) << "-";
    }
    void analizzaRiga()
    {
        QFETCH(QByteArray, riga);
        QFETCH(QString, atteso);
        const auto l = RigaCodex::analizzaRiga(riga, kT0);
        const QString r = !l ? QString("-")
                             : QString("%1/%2")
                                   .arg(l->sessione ? QString::number(l->sessione->percentuale) : QString("x"))
                                   .arg(l->settimana ? QString::number(l->settimana->percentuale) : QString("x"));
        QCOMPARE(r, atteso);
    }

    void timestampOrFileTime()
    {
        const QDateTime mtime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC);
        auto l = RigaCodex::analizzaRiga(riga(kT0, 1), mtime);
        QCOMPARE(l->scrittaIl, kT0);
        l = RigaCodex::analizzaRiga(rigaCodex("ieri", Finestra{1, {}, 60}, std::nullopt), mtime);
        QCOMPARE(l->scrittaIl, mtime);
        QCOMPARE(l->sessione->siAzzera, mtime.addSecs(60));
    }

    void lastUsableLineOfTheFile()
    {
        // The last line carries another limit_id: the earlier codex one counts.
        const QString f = scriviLog(radice, kOggi, "a.jsonl",
                                    {riga(kT0.addSecs(-100), 20, QString("codex")), rigaSenzaLimiti(),
                                     riga(kT0.addSecs(-50), 90, QString("gpt")), rigaSenzaLimiti()},
                                    kT0.addSecs(-10));
        auto r = lettore()->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 20);
        QCOMPARE(r->fornitore, FornitoreIA::codex);
    }

    void tailWindow_data()
    {
        QTest::addColumn<qint64>("dimensione");
        QTest::addColumn<bool>("primaLetta");
        QTest::newRow("exactly 2 MiB: read whole") << qint64(2097152) << true;
        QTest::newRow("one byte more: first line dropped") << qint64(2097153) << false;
    }
    void tailWindow()
    {
        QFETCH(qint64, dimensione);
        QFETCH(bool, primaLetta);
        // The only snapshot is the file's first line; filler makes up the rest.
        const QByteArray prima = riga(kT0, 64) + '\n';
        const QByteArray filler = rigaSenzaLimiti(QString(100, 'y')) + '\n';
        QByteArray dati = prima;
        while (dati.size() + filler.size() <= dimensione)
            dati += filler;
        dati += QByteArray(dimensione - dati.size() - 1, ' ') + '\n';
        QCOMPARE(dati.size(), dimensione);
        scrivi(radice + kOggi.toString("/yyyy/MM/dd"), "big.jsonl", dati, kT0);
        auto r = lettore()->leggiUso();
        QCOMPARE(r.has_value(), primaLetta);
    }

    void bigFileReadsOnlyTheTail()
    {
        scriviLog(radice, kOggi, "big.jsonl", {riga(kT0.addSecs(-5), 77)}, kT0, 5 * 1024 * 1024);
        auto r = lettore()->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 77);
    }

    void olderFileOpenedOnlyWhenItCanBeNewer_data()
    {
        QTest::addColumn<int>("modificaB"); // minutes after 10:00
        QTest::addColumn<int>("attesa");
        QTest::addColumn<int>("aperti");
        QTest::newRow("B modified 11:00") << 60 << 50 << 2;
        QTest::newRow("B modified 10:20") << 20 << 30 << 1;
    }
    void olderFileOpenedOnlyWhenItCanBeNewer()
    {
        QFETCH(int, modificaB);
        QFETCH(int, attesa);
        QFETCH(int, aperti);
        const QDateTime dieci(kOggi, QTime(10, 0), Qt::LocalTime);
        scriviLog(radice, kOggi, "a.jsonl", {riga(dieci.addSecs(30 * 60), 30)}, dieci.addSecs(120 * 60));
        scriviLog(radice, kOggi, "b.jsonl", {riga(dieci.addSecs(50 * 60), 50)}, dieci.addSecs(modificaB * 60));
        auto l = lettore();
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, attesa);
        QCOMPARE(l->fileAperti(), aperti);
    }

    void readsOnlyWhenTheNewestFileChanged()
    {
        const QString a = scriviLog(radice, kOggi, "a.jsonl", {riga(kT0, 10)}, kT0);
        auto l = lettore();
        QVERIFY(l->leggiUso());
        QVERIFY(!l->leggiUso());
        QCOMPARE(l->fileAperti(), 1);
        scriviLog(radice, kOggi, "a.jsonl", {riga(kT0.addSecs(20), 11)}, kT0.addSecs(20));
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 11);
        l->dimentica();
        r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 11);
    }

    void filesWithoutSnapshotsAreNotParsedAgain()
    {
        scriviLog(radice, kOggi, "a.jsonl", {rigaSenzaLimiti()}, kT0);
        auto l = lettore();
        QVERIFY(!l->leggiUso());
        QVERIFY(!l->leggiUso());
        QCOMPARE(l->fileAperti(), 1);
    }

    void dayFoldersBetweenWalks()
    {
        auto l = lettore();
        QVERIFY(!l->leggiUso()); // walks an empty tree
        // Yesterday's folder is listed on every read; an older one only by a walk.
        scriviLog(radice, kOggi.addDays(-3), "vecchio.jsonl", {riga(kT0.addSecs(-10), 5)}, kT0.addSecs(-10));
        clock.advance(60);
        QVERIFY(!l->leggiUso());
        scriviLog(radice, kOggi.addDays(-1), "ieri.jsonl", {riga(kT0.addSecs(-20), 6)}, kT0.addSecs(-20));
        clock.advance(60);
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 6);
        // Files are known now: the next walk comes after 1800 s.
        clock.advance(1680); // 1800 s since the walk
        QVERIFY(!l->leggiUso());
        clock.advance(1);
        r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 5); // the walk resets the last-read time; the newest snapshot wins
    }

    void walkRetriesAfter300sWhenNothingFound()
    {
        auto l = lettore();
        QVERIFY(!l->leggiUso());
        scriviLog(radice, kOggi.addDays(-5), "x.jsonl", {riga(kT0, 8)}, kT0);
        clock.advance(300);
        QVERIFY(!l->leggiUso());
        clock.advance(1);
        QVERIFY(l->leggiUso());
    }

    void walkKeepsTheFiveNewest()
    {
        for (int i = 0; i < 8; ++i)
            scriviLog(radice, kOggi.addDays(-10 - i), QString("s%1.jsonl").arg(i), {riga(kT0.addSecs(-i * 60), 10 + i)},
                      kT0.addSecs(-i * 60));
        auto l = lettore();
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 10);
        QCOMPARE(l->fileAperti(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLettoreCodex)
#include "tst_LettoreCodex.moc"
