#include "FakeClock.h"
#include "FakeFrontApplication.h"
#include "UserDefaults.h"
#include "UsoIAMonitor.h"

#include <QMutex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

namespace {

const QDateTime kT0 = QDateTime(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC);
const QString kClaudeApp = "com.anthropic.claudefordesktop";
const QString kCodexApp = "com.openai.codex";

// A reader that hands out what the test queued, from any thread.
class LettoreFinto final : public LettoreUsoIA {
public:
    std::optional<LetturaUsoIA> leggiUso() override
    {
        QMutexLocker l(&m);
        ++letture;
        if (coda.empty())
            return std::nullopt;
        auto r = coda.front();
        coda.pop_front();
        return r;
    }
    void dimentica() override
    {
        QMutexLocker l(&m);
        ++dimenticanze;
    }
    void accoda(const LetturaUsoIA& r)
    {
        QMutexLocker l(&m);
        coda.push_back(r);
    }
    int quanteLetture()
    {
        QMutexLocker l(&m);
        return letture;
    }
    int quanteDimenticanze()
    {
        QMutexLocker l(&m);
        return dimenticanze;
    }

private:
    QMutex m;
    std::deque<LetturaUsoIA> coda;
    int letture = 0;
    int dimenticanze = 0;
};

LetturaUsoIA lettura(FornitoreIA f, int sessione, QDateTime scritta, std::optional<QDateTime> azzera = std::nullopt,
                     int settimana = 10)
{
    return {f, LimiteIA{sessione, azzera, false}, LimiteIA{settimana, std::nullopt, false}, scritta};
}

} // namespace

class TestUsoIAMonitor : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<UserDefaults> defaults;
    std::unique_ptr<FakeFrontApplication> frontale;
    std::shared_ptr<LettoreFinto> claude, codex;
    std::unique_ptr<UsoIAMonitor> monitor;

    void crea()
    {
        claude = std::make_shared<LettoreFinto>();
        codex = std::make_shared<LettoreFinto>();
        monitor = std::make_unique<UsoIAMonitor>(
            *clock, *defaults, *frontale,
            UsoIAMonitor::Lettori{{FornitoreIA::claude, claude}, {FornitoreIA::codex, codex}}, "halvora");
    }

    // Waits for the reads queued so far to come back.
    void attendiLetture(int attese)
    {
        QTRY_COMPARE(codex->quanteLetture(), attese);
        QTRY_COMPARE(claude->quanteLetture(), attese);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        clock = std::make_unique<FakeClock>(kT0);
        defaults = std::make_unique<UserDefaults>(dir.filePath(QString::number(QRandomGenerator::global()->generate())
                                                               + ".ini"));
        frontale = std::make_unique<FakeFrontApplication>();
        crea();
    }
    void cleanup() { monitor.reset(); }

    void lastUsedFromSettings_data()
    {
        QTest::addColumn<QVariant>("salvato");
        QTest::addColumn<int>("atteso");
        QTest::newRow("absent") << QVariant() << 0;
        QTest::newRow("codex") << QVariant("codex") << 1;
        QTest::newRow("Codex") << QVariant("Codex") << 0;
        QTest::newRow("claude") << QVariant("claude") << 0;
    }
    void lastUsedFromSettings()
    {
        QFETCH(QVariant, salvato);
        QFETCH(int, atteso);
        if (salvato.isValid())
            defaults->setValue(UsoIAMonitor::kChiaveUltimoUsato, salvato);
        crea();
        QCOMPARE(monitor->ultimoUsato(), static_cast<FornitoreIA>(atteso));
    }

    void startsOnceAndReadsAtOnce()
    {
        QSignalSpy attivo(monitor.get(), &UsoIAMonitor::attivoChanged);
        monitor->setAttivo(true);
        monitor->setAttivo(true);
        QCOMPARE(attivo.count(), 1);
        attendiLetture(1);
        QCOMPARE(monitor->periodo(), 60.0);
        clock->advance(60);
        attendiLetture(2);
    }

    void frontApplicationSetsPeriodAndLastUsed()
    {
        monitor->setAttivo(true);
        attendiLetture(1);
        QSignalSpy ultimo(monitor.get(), &UsoIAMonitor::ultimoUsatoChanged);

        frontale->attivaId(kClaudeApp);
        QCOMPARE(monitor->inPrimoPiano(), std::optional(FornitoreIA::claude));
        QCOMPARE(monitor->periodo(), 10.0);
        attendiLetture(2);
        QCOMPARE(ultimo.count(), 0); // already claude
        QVERIFY(!defaults->contains(UsoIAMonitor::kChiaveUltimoUsato));

        // Straight to the other provider: stored, timer kept at 10 s, read at once.
        frontale->attivaId(kCodexApp);
        QCOMPARE(monitor->inPrimoPiano(), std::optional(FornitoreIA::codex));
        QCOMPARE(monitor->ultimoUsato(), FornitoreIA::codex);
        QCOMPARE(defaults->value(UsoIAMonitor::kChiaveUltimoUsato).toString(), QString("codex"));
        QCOMPARE(ultimo.count(), 1);
        QCOMPARE(monitor->periodo(), 10.0);
        attendiLetture(3);

        // The notch's own application changes nothing and reads nothing.
        frontale->attivaId("halvora");
        QCOMPARE(monitor->inPrimoPiano(), std::optional(FornitoreIA::codex));
        QCoreApplication::processEvents();
        QCOMPARE(codex->quanteLetture(), 3);

        // Any other application: back to 60 s, no read.
        frontale->attivaId("org.gnome.Nautilus");
        QVERIFY(!monitor->inPrimoPiano());
        QCOMPARE(monitor->periodo(), 60.0);
        QTest::qWait(20);
        QCOMPARE(codex->quanteLetture(), 3);

        // A Linux desktop-file id of the provider's application counts too.
        frontale->attivaId("claude-desktop");
        QCOMPARE(monitor->inPrimoPiano(), std::optional(FornitoreIA::claude));
        QCOMPARE(defaults->value(UsoIAMonitor::kChiaveUltimoUsato).toString(), QString("claude"));
        clock->advance(10);
        attendiLetture(5);
    }

    void publishesAgedStates()
    {
        claude->accoda(lettura(FornitoreIA::claude, 40, kT0.addSecs(-1199)));
        codex->accoda(lettura(FornitoreIA::codex, 50, kT0.addSecs(-40000)));
        QSignalSpy stati(monitor.get(), &UsoIAMonitor::statiChanged);
        monitor->setAttivo(true);
        attendiLetture(1);
        QCOMPARE(stati.count(), 1);
        QVERIFY(monitor->stati().at(FornitoreIA::claude).attuale);
        QVERIFY(monitor->stati().at(FornitoreIA::codex).attuale);

        // No new reading: the kept one ages; a reading with no change publishes nothing.
        clock->advance(60);
        attendiLetture(2);
        QCOMPARE(stati.count(), 2);
        QVERIFY(!monitor->stati().at(FornitoreIA::claude).attuale);
        clock->advance(3600); // codex now 43600 s old, past 12 h
        attendiLetture(62);
        QCOMPARE(monitor->stati().count(FornitoreIA::codex), size_t(0));
        QCOMPARE(monitor->stati().count(FornitoreIA::claude), size_t(1));
        const int prima = stati.count();
        clock->advance(60);
        attendiLetture(63);
        QCOMPARE(stati.count(), prima);
    }

    void closedNotchCardOnlyForTheProviderInFront()
    {
        claude->accoda(lettura(FornitoreIA::claude, 40, kT0, std::nullopt, 80));
        monitor->setAttivo(true);
        attendiLetture(1);
        QVERIFY(!monitor->statoPerTacca());
        QCOMPARE(monitor->statoPerPannello()->lettura.sessione->percentuale, 40);
        frontale->attivaId(kClaudeApp);
        attendiLetture(2);
        const auto t = monitor->statoPerTacca();
        QVERIFY(t);
        QCOMPARE(t->limite.percentuale, 80);
        QVERIFY(t->settimanale);
        QCOMPARE(t->fornitore, FornitoreIA::claude);
    }

    void freedWindowToldOnce()
    {
        claude->accoda(lettura(FornitoreIA::claude, 100, kT0, kT0.addSecs(30)));
        QSignalSpy eventi(monitor.get(), &UsoIAMonitor::diNuovoDisponibile);
        monitor->setAttivo(true);
        attendiLetture(1);
        QCOMPARE(eventi.count(), 0); // the first reading never tells
        QCOMPARE(monitor->stati().at(FornitoreIA::claude).lettura.sessione->percentuale, 100);
        // The reset time passes with no new reading: the next read frees it.
        clock->advance(60);
        attendiLetture(2);
        QCOMPARE(eventi.count(), 1);
        const auto e = eventi.at(0).at(0).value<UsoIAMonitor::DiNuovoDisponibile>();
        QCOMPARE(e, (UsoIAMonitor::DiNuovoDisponibile{FornitoreIA::claude, false}));
        QCOMPARE(monitor->stati().at(FornitoreIA::claude).lettura.sessione, (LimiteIA{0, std::nullopt, false}));
        clock->advance(60);
        attendiLetture(3);
        QCOMPARE(eventi.count(), 1);
    }

    void stopForgetsAndDropsLateReadings()
    {
        claude->accoda(lettura(FornitoreIA::claude, 40, kT0));
        monitor->setAttivo(true);
        attendiLetture(1);
        frontale->attivaId(kClaudeApp);
        attendiLetture(2);
        QVERIFY(!monitor->stati().empty());

        // A read under way when the monitor stops, and a quick restart.
        claude->accoda(lettura(FornitoreIA::claude, 99, kT0));
        clock->advance(10);
        monitor->setAttivo(false);
        QVERIFY(monitor->stati().empty());
        QVERIFY(!monitor->inPrimoPiano());
        QCOMPARE(monitor->ultimoUsato(), FornitoreIA::claude);
        QCOMPARE(clock->pending(), 0);
        QTRY_COMPARE(claude->quanteDimenticanze(), 1);
        QTest::qWait(20);
        QVERIFY(monitor->stati().empty()); // the late reading is dropped

        // Front-application changes no longer reach a stopped monitor.
        frontale->attivaId(kCodexApp);
        QVERIFY(!monitor->inPrimoPiano());
        monitor->setAttivo(true);
        QCOMPARE(monitor->inPrimoPiano(), std::optional(FornitoreIA::codex));
        QCOMPARE(monitor->periodo(), 10.0);
    }

    void destroyedWhileReading()
    {
        monitor->setAttivo(true);
        clock->advance(60);
        monitor.reset(); // must neither hang nor deliver into a dead object
        QCoreApplication::processEvents();
        QVERIFY(claude->quanteLetture() <= 2);
    }
};

QTEST_GUILESS_MAIN(TestUsoIAMonitor)
#include "tst_UsoIAMonitor.moc"
