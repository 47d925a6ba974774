#include "FakeClock.h"
#include "SystemClock.h"

#include <QElapsedTimer>
#include <QTest>
#include <limits>

class TestSystemClock : public QObject {
    Q_OBJECT

private slots:
    void realTimersFireAndCancel()
    {
        SystemClock c;
        int una = 0, ripetute = 0, annullate = 0;
        TimerHandle a = c.singleShot(0.02, [&] { ++una; });
        TimerHandle b = c.repeating(0.01, [&] { ++ripetute; });
        TimerHandle x = c.singleShot(0.01, [&] { ++annullate; });
        x.cancel();
        QVERIFY(!x.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(una == 1 && ripetute >= 3, 2000);
        QVERIFY(!a.isActive());
        b.cancel();
        const int fermate = ripetute;
        QTest::qWait(50);
        QCOMPARE(ripetute, fermate);
        QCOMPARE(annullate, 0);
    }

    void aTaskMayReleaseItsOwnHandle()
    {
        SystemClock c;
        bool eseguito = false;
        TimerHandle h;
        h = c.singleShot(0.01, [&] {
            h = {}; // as the deferred collapse does
            eseguito = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(eseguito, 2000);
        QTest::qWait(20);
    }

    void droppingTheHandleCancels()
    {
        SystemClock c;
        bool eseguito = false;
        { TimerHandle h = c.singleShot(0.01, [&] { eseguito = true; }); }
        QTest::qWait(50);
        QVERIFY(!eseguito);
    }

    void intervalsAreBounded()
    {
        QCOMPARE(limitaIntervallo(std::numeric_limits<double>::quiet_NaN()), 0.0);
        QCOMPARE(limitaIntervallo(-3), 0.0);
        QCOMPARE(limitaIntervallo(std::numeric_limits<double>::infinity()), 86400.0);
        QCOMPARE(limitaIntervallo(0.18), 0.18);
    }

    void fakeClockRunsDueTasksInOrder()
    {
        FakeClock c;
        QStringList ordine;
        TimerHandle annidato;
        TimerHandle r = c.repeating(1, [&] { ordine << "r"; });
        TimerHandle a = c.singleShot(1.5, [&] { ordine << "a"; });
        TimerHandle b = c.singleShot(0.5, [&] {
            ordine << "b";
            // Scheduled from inside a task, due within the same advance.
            annidato = c.singleShot(0.2, [&] { ordine << "n"; });
        });
        const QDateTime inizio = c.now();
        c.advance(2);
        QCOMPARE(ordine, QStringList({"b", "n", "r", "a", "r"}));
        QCOMPARE(inizio.msecsTo(c.now()), 2000);
        QCOMPARE(c.nextDue(), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestSystemClock)
#include "tst_SystemClock.moc"
