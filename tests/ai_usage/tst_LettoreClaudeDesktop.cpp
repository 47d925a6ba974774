#include "AnalisiVoceCache.h"
#include "FakeClock.h"
#include "FixtureUsoIA.h"
#include "LettoreClaudeDesktop.h"

#include <QTemporaryDir>
#include <QTest>

using namespace FixtureUsoIA;

namespace {

const QStringList kDomini{"claude.ai", "claude.com"};
const QDateTime kT0 = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);

QByteArray voceUso(const QByteArray& json, bool conDimensione = true)
{
    Voce v;
    v.corpo = zstd(json, conDimensione);
    return voce(v);
}

} // namespace

class TestLettoreClaudeDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString cache;
    QString cacheLinux;
    FakeClock clock{kT0};

    std::unique_ptr<LettoreClaudeDesktop> lettore()
    {
        return std::make_unique<LettoreClaudeDesktop>([this] { return clock.now(); },
                                                      LettoreClaudeDesktop::Configurazione{{cache, cacheLinux}, kDomini});
    }

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        cache = dir.path() + "/Library/Application Support/Claude/Cache/Cache_Data";
        cacheLinux = dir.path() + "/config/Claude/Cache/Cache_Data";
    }

    void chiaveVoce_data()
    {
        QTest::addColumn<QByteArray>("byte");
        QTest::addColumn<bool>("valida");
        Voce buona;
        QTest::newRow("valid") << voce(buona) << true;
        Voce magia;
        magia.magia = 0xFCFB6D1BA7725C31ULL;
        QTest::newRow("wrong magic") << voce(magia) << false;
        Voce zero;
        zero.lunghezzaChiave = 0;
        QTest::newRow("key length 0") << voce(zero) << false;
        Voce lunga;
        lunga.lunghezzaChiave = 8193;
        lunga.coda = QByteArray(9000, 'a');
        QTest::newRow("key length 8193") << voce(lunga) << false;
        Voce oltre;
        oltre.lunghezzaChiave = 4000;
        oltre.coda = {};
        QTest::newRow("key past the bytes read") << voce(oltre) << false;
        Voce utf8;
        utf8.chiaveGrezza = QByteArray("https://claude.ai/api/organizations/\xC3\x28/usage");
        QTest::newRow("invalid UTF-8") << voce(utf8) << false;
        Voce lungaOk;
        lungaOk.chiave = "https://claude.ai/" + QString(8192 - 18, 'k');
        QTest::newRow("key of 8192 bytes") << voce(lungaOk) << true;
        QTest::newRow("24 bytes") << voce(buona).left(24) << false;
    }
    void chiaveVoce()
    {
        QFETCH(QByteArray, byte);
        QFETCH(bool, valida);
        QCOMPARE(VoceCache::chiaveVoce(byte).has_value(), valida);
    }

    void filtraURLUso_data()
    {
        QTest::addColumn<QString>("chiave");
        QTest::addColumn<bool>("passa");
        QTest::newRow("plain") << "https://claude.ai/api/organizations/abc/usage" << true;
        QTest::newRow("cache key prefix") << "1/0/_dk_https://claude.ai https://claude.ai/api/organizations/abc/usage"
                                          << true;
        QTest::newRow("query") << "https://claude.ai/api/organizations/abc/usage?x=1" << true;
        QTest::newRow("fragment") << "https://claude.ai/api/organizations/abc/usage#y" << true;
        QTest::newRow("other domain of ours") << "https://claude.com/api/organizations/abc/usage" << true;
        QTest::newRow("trailing slash") << "https://claude.ai/api/organizations/abc/usage/" << false;
        QTest::newRow("empty id") << "https://claude.ai/api/organizations//usage" << false;
        QTest::newRow("extra segment") << "https://claude.ai/api/organizations/abc/def/usage" << false;
        QTest::newRow("no domain") << "https://example.com/api/organizations/abc/usage" << false;
        QTest::newRow("other endpoint") << "https://claude.ai/api/organizations/abc/chat_conversations" << false;
        QTest::newRow("case") << "https://claude.ai/api/organizations/abc/Usage" << false;
    }
    void filtraURLUso()
    {
        QFETCH(QString, chiave);
        QFETCH(bool, passa);
        QCOMPARE(VoceCache::filtraURLUso(chiave, kDomini), passa);
    }

    void decomprimiZstd_data()
    {
        QTest::addColumn<QByteArray>("corpo");
        QTest::addColumn<int>("attesi"); // -1: refused
        const QByteArray piccolo = rispostaNominata(10, 20);
        QTest::newRow("with content size") << zstd(piccolo) << int(piccolo.size());
        QTest::newRow("without content size") << zstd(piccolo, false) << int(piccolo.size());
        QTest::newRow("trailing bytes after the frame") << zstd(piccolo) + QByteArray(100, 'z') << int(piccolo.size());
        QTest::newRow("cut off") << zstd(piccolo).chopped(3) << -1;
        QTest::newRow("exactly 262144") << zstd(QByteArray(262144, ' ')) << 262144;
        QTest::newRow("bomb with size") << zstd(QByteArray(262145, ' ')) << -1;
        QTest::newRow("bomb without size") << zstd(QByteArray(50 * 1024 * 1024, ' '), false) << -1;
        QByteArray corrotto = zstd(QByteArray(5000, 'q') + piccolo);
        corrotto[corrotto.size() / 2] = char(corrotto[corrotto.size() / 2] ^ 0x5A);
        corrotto[corrotto.size() / 2 + 1] = char(corrotto[corrotto.size() / 2 + 1] ^ 0x33);
        QTest::newRow("corrupt") << corrotto << -1;
        QTest::newRow("not zstd") << piccolo << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }
    void decomprimiZstd()
    {
        QFETCH(QByteArray, corpo);
        QFETCH(int, attesi);
        const auto r = VoceCache::decomprimiZstd(corpo);
        if (attesi < 0) {
            // A corrupt frame may still decode to something: never past the bound.
            QVERIFY(!r || r->size() <= 262144);
            if (QByteArray(QTest::currentDataTag()).startsWith("bomb") || QTest::currentDataTag() == QByteArray("cut off")
                || QTest::currentDataTag() == QByteArray("not zstd"))
                QVERIFY(!r);
        } else {
            QVERIFY(r);
            QCOMPARE(r->size(), attesi);
        }
    }

    void analizzaRisposta_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("sessione"); // "percent/critical" or "-"
        QTest::addColumn<QString>("settimana");
        auto lista = [](const char* elementi) { return QByteArray("{\"limits\":[") + elementi + "]}"; };
        QTest::newRow("percent 99.5 without severity") << lista(R"({"kind":"session","percent":99.5})") << "100/0"
                                                        << "-";
        QTest::newRow("severity critical") << lista(R"({"kind":"session","percent":3,"severity":"critical"})")
                                           << "3/1" << "-";
        QTest::newRow("severity Critical") << lista(R"({"kind":"session","percent":3,"severity":"Critical"})")
                                           << "3/0" << "-";
        QTest::newRow("utilization 99.5") << rispostaNominata(99.5, 1) << "100/1" << "1/0";
        QTest::newRow("utilization 99.4") << rispostaNominata(99.4, 1) << "99/0" << "1/0";
        QTest::newRow("utilization 150") << rispostaNominata(150, 1) << "100/1" << "1/0";
        QTest::newRow("negative") << rispostaNominata(-7, 1) << "0/0" << "1/0";
        QTest::newRow("list and named") << QByteArray(R"({"limits":[{"kind":"session","percent":12}],)"
                                                      R"("five_hour":{"utilization":80},"seven_day":{"utilization":44}})")
                                        << "12/0" << "44/0";
        QTest::newRow("later session wins")
            << lista(R"({"kind":"session","percent":12},{"kind":"weekly_all","percent":5},{"kind":"session","percent":30})")
            << "30/0" << "5/0";
        QTest::newRow("non-object element spoils the list")
            << QByteArray(R"({"limits":[{"kind":"session","percent":12},7],"five_hour":{"utilization":50},)"
                          R"("seven_day":{"utilization":60}})")
            << "50/0" << "60/0";
        QTest::newRow("unknown kind and no kind") << lista(R"({"kind":"opus","percent":12},{"percent":40})") << "-"
                                                  << "-";
        QTest::newRow("top level array") << QByteArray("[1,2]") << "-" << "-";
        QTest::newRow("no layout") << QByteArray(R"({"a":1})") << "-" << "-";
        QTest::newRow("huge number") << rispostaNominata(1e300, 10) << "-" << "10/0";
        QTest::newRow("overflowing literal") << QByteArray(R"({"five_hour":{"utilization":1e999}})") << "-" << "-";
        QTest::newRow("percent as text") << lista(R"({"kind":"session","percent":"50"})") << "-" << "-";
        QTest::newRow("deep nesting") << QByteArray(100000, '[') << "-" << "-";
        QTest::newRow("invalid UTF-8") << QByteArray("{\"five_hour\":{\"utilization\":5,\"x\":\"\xC3\x28\"}}") << "-"
                                       << "-";
    }
    void analizzaRisposta()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, sessione);
        QFETCH(QString, settimana);
        const auto r = VoceCache::analizzaRisposta(json, kT0);
        auto descrivi = [](const std::optional<LimiteIA>& l) {
            return l ? QString("%1/%2").arg(l->percentuale).arg(int(l->critico)) : QString("-");
        };
        QCOMPARE(r ? descrivi(r->sessione) : QString("-"), sessione);
        QCOMPARE(r ? descrivi(r->settimana) : QString("-"), settimana);
        if (r) {
            QCOMPARE(r->fornitore, FornitoreIA::claude);
            QCOMPARE(r->scrittaIl, kT0);
        }
    }

    void resetTimes_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QDateTime>("atteso");
        const QDateTime t(QDate(2026, 3, 2), QTime(14, 0), Qt::UTC);
        QTest::newRow("fraction, offset with colon") << "2026-03-02T14:00:00.912000+00:00" << t.addMSecs(912);
        QTest::newRow("offset without separator") << "2026-03-02T16:00:00.5+0200" << t.addMSecs(500);
        QTest::newRow("Z") << "2026-03-02T14:00:00Z" << t;
        QTest::newRow("negative offset") << "2026-03-02T09:30:00-04:30" << t;
        QTest::newRow("no zone") << "2026-03-02T14:00:00" << QDateTime();
        QTest::newRow("date only") << "2026-03-02" << QDateTime();
        QTest::newRow("31 February") << "2026-02-31T14:00:00Z" << QDateTime();
        QTest::newRow("hour 24") << "2026-03-02T24:00:00Z" << QDateTime();
        QTest::newRow("year 9999") << "9999-03-02T14:00:00Z" << QDateTime();
        QTest::newRow("before 1970") << "1969-12-31T23:59:59Z" << QDateTime();
        QTest::newRow("trailing text") << "2026-03-02T14:00:00Zjunk" << QDateTime();
    }
    void resetTimes()
    {
        QFETCH(QString, testo);
        QFETCH(QDateTime, atteso);
        const QByteArray json = rispostaNominata(10, 20, testo);
        const auto r = VoceCache::analizzaRisposta(json, kT0);
        QVERIFY(r && r->sessione);
        QCOMPARE(r->sessione->siAzzera.value_or(QDateTime()), atteso);
    }

    void firstReadReturnsOnceThenNothingUntilChanged()
    {
        const QString f = scrivi(cache, "aa11_0", voceUso(rispostaNominata(42, 61, "2026-03-02T14:00:00Z")),
                                 kT0.addSecs(-30));
        auto l = lettore();
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 42);
        QCOMPARE(r->settimana->percentuale, 61);
        QCOMPARE(r->scrittaIl, kT0.addSecs(-30));
        QCOMPARE(l->vociLette(), 1);

        clock.advance(10);
        QVERIFY(!l->leggiUso());
        QCOMPARE(l->vociLette(), 1); // unchanged entry: not opened again

        scrivi(cache, "aa11_0", voceUso(rispostaNominata(50, 61)), kT0.addSecs(5));
        r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 50);

        l->dimentica();
        r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 50);
    }

    void scanCadence()
    {
        auto l = lettore();
        QVERIFY(!l->leggiUso()); // empty cache: scanned, nothing
        scrivi(cache, "bb_0", voceUso(rispostaNominata(5, 6)), kT0);
        clock.advance(300);
        QVERIFY(!l->leggiUso()); // not more than 300 s yet
        clock.advance(1);
        QVERIFY(l->leggiUso());

        // Files known: a new, newer entry is found only by the next scan.
        scrivi(cache, "cc_0", voceUso(rispostaNominata(70, 6)), kT0.addSecs(60));
        clock.advance(1800);
        QVERIFY(!l->leggiUso());
        clock.advance(1);
        auto r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 70);

        // A known entry disappearing makes the next call scan at once.
        QFile::remove(cache + "/cc_0");
        clock.advance(5);
        r = l->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 5);
    }

    void entriesLookedAtByNameSizeAndKey_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("dati");
        QTest::addColumn<bool>("letta");
        const QByteArray buona = voceUso(rispostaNominata(33, 44));
        QTest::newRow("entry") << "ee_0" << buona << true;
        QTest::newRow("stream file _1") << "ee_1" << buona << false;
        QTest::newRow("index") << "index" << buona << false;
        QTest::newRow("24 bytes") << "ee_0" << buona.left(24) << false;
        Voce grande;
        grande.corpo = zstd(rispostaNominata(33, 44));
        grande.coda = QByteArray(524289 - voce(grande).size() + 40, 'x');
        QTest::newRow("524289 bytes") << "ee_0" << voce(grande) << false;
        Voce limite = grande;
        limite.coda.chop(1);
        QTest::newRow("524288 bytes") << "ee_0" << voce(limite) << true;
        Voce chiaro;
        chiaro.corpo = rispostaNominata(33, 44);
        QTest::newRow("uncompressed body") << "ee_0" << voce(chiaro) << false;
        Voce altra;
        altra.chiave = "https://claude.ai/api/organizations/abc/usage/";
        altra.corpo = zstd(rispostaNominata(33, 44));
        QTest::newRow("other key") << "ee_0" << voce(altra) << false;
        Voce stream;
        stream.corpo = zstd(rispostaNominata(33, 44), false);
        QTest::newRow("frame without content size") << "ee_0" << voce(stream) << true;
    }
    void entriesLookedAtByNameSizeAndKey()
    {
        QFETCH(QString, nome);
        QFETCH(QByteArray, dati);
        QFETCH(bool, letta);
        scrivi(cache, nome, dati, kT0);
        auto r = lettore()->leggiUso();
        QCOMPARE(r.has_value(), letta);
        if (letta)
            QCOMPARE(r->sessione->percentuale, 33);
    }

    void newestOf400()
    {
        // 401 entries: the oldest (a usage entry) lies past the 400 examined.
        const QByteArray altro = [] {
            Voce v;
            v.chiave = "https://claude.ai/api/organizations/abc/chat";
            v.corpo = zstd("{}");
            return voce(v);
        }();
        for (int i = 0; i < 400; ++i)
            scrivi(cache, QString("f%1_0").arg(i), altro, kT0.addSecs(-i));
        scrivi(cache, "vecchia_0", voceUso(rispostaNominata(9, 9)), kT0.addSecs(-1000));
        auto l = lettore();
        QVERIFY(!l->leggiUso());
        QCOMPARE(l->fileApertiNellaScansione(), 400);
        QFile::remove(cache + "/f0_0");
        clock.advance(301);
        QVERIFY(l->leggiUso());
    }

    void linuxFolderTriedAfterTheOther()
    {
        scrivi(cacheLinux, "ab_0", voceUso(rispostaNominata(21, 22)), kT0);
        auto r = lettore()->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 21);
        // When the first location exists, it is the one read.
        scrivi(cache, "ab_0", voceUso(rispostaNominata(11, 12)), kT0);
        r = lettore()->leggiUso();
        QVERIFY(r);
        QCOMPARE(r->sessione->percentuale, 11);
    }

    void failedReadIsRetried()
    {
        Voce rotta;
        rotta.corpo = zstd("not json at all");
        scrivi(cache, "zz_0", voce(rotta), kT0);
        auto l = lettore();
        QVERIFY(!l->leggiUso());
        QVERIFY(!l->leggiUso());
        QCOMPARE(l->vociLette(), 2); // the time of a failed read is not kept
    }
};

QTEST_GUILESS_MAIN(TestLettoreClaudeDesktop)
#include "tst_LettoreClaudeDesktop.moc"
