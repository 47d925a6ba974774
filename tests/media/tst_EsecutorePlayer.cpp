#include "EsecutorePlayer.h"
#include "FakeClock.h"

#include <QTest>
#include <QThread>

class TestEsecutorePlayer : public QObject {
    Q_OBJECT

private slots:
    void answersExactlyOnce()
    {
        FakeClock clock;
        EsecutorePlayer e(clock);
        QStringList consegne;
        auto annota = [&](const QString& nome) {
            return [&consegne, nome](std::optional<QString> r) { consegne << nome + QLatin1Char('=') + r.value_or(QStringLiteral("-")); };
        };
        // A call that blocks past its time-out: nothing after 0.5 s, its late result dropped.
        e.esegui<QString>([] { QThread::msleep(300); return std::optional<QString>(QStringLiteral("tardi")); }, 0.5, annota("lenta"));
        clock.advance(0.5);
        QCOMPARE(consegne, QStringList{QStringLiteral("lenta=-")});
        // A call queued behind it still runs, after it.
        e.esegui<QString>([] { return std::optional<QString>(QStringLiteral("ok")); }, 0.5, annota("dietro"));
        QTRY_COMPARE(consegne.size(), 2);
        QCOMPARE(consegne.at(1), QStringLiteral("dietro=ok"));
        QTest::qWait(50);
        QCOMPARE(consegne.size(), 2);
        // A result before the time-out is delivered once; the time-out then does nothing.
        e.esegui<QString>([] { return std::optional<QString>(QStringLiteral("presto")); }, 0.5, annota("pronta"));
        QTRY_COMPARE(consegne.size(), 3);
        clock.advance(1);
        QCOMPARE(consegne.size(), 3);
        QCOMPARE(e.inAttesa(), 0);
    }

    void nothingDeliveredOnceGone()
    {
        FakeClock clock;
        int consegne = 0;
        {
            EsecutorePlayer e(clock);
            e.esegui<int>([] { QThread::msleep(50); return std::optional<int>(1); }, 0.5, [&](std::optional<int>) { ++consegne; });
        }
        clock.advance(1);
        QTest::qWait(20);
        QCOMPARE(consegne, 0);
    }
};

QTEST_GUILESS_MAIN(TestEsecutorePlayer)
#include "tst_EsecutorePlayer.moc"
