#include "AttivitaManager.h"
#include "FakeClock.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {
AttivitaNotch notizia(const QString& titolo)
{
    AttivitaNotch a;
    a.titolo = titolo;
    a.simbolo = QStringLiteral("bell.fill");
    return a;
}
QString titoloCorrente(const AttivitaManager& m)
{
    return m.corrente() ? m.corrente()->titolo : QString();
}
} // namespace

class TestAttivitaManager : public QObject {
    Q_OBJECT
    FakeClock clock;

private slots:
    void aNoticeShowsAtOnceForItsDuration()
    {
        AttivitaManager m(clock);
        QSignalSpy spy(&m, &AttivitaManager::correnteChanged);
        m.mostra(notizia("A"), 3);
        QCOMPARE(titoloCorrente(m), QStringLiteral("A"));
        clock.advance(2.99);
        QCOMPARE(titoloCorrente(m), QStringLiteral("A"));
        clock.advance(0.02);
        QVERIFY(!m.corrente());
        QCOMPARE(spy.count(), 2);
        QVERIFY(!m.scadenzaInAttesa());
    }

    void sixNoticesQueueFourAndDropTheSixth()
    {
        AttivitaManager m(clock);
        const double durate[] = {2, 3, 4, 5, 6, 7};
        const char* titoli[] = {"A", "B", "C", "D", "E", "F"};
        for (int i = 0; i < 6; ++i)
            m.mostra(notizia(titoli[i]), durate[i]);
        QCOMPARE(m.coda().size(), 4);
        QSignalSpy spy(&m, &AttivitaManager::correnteChanged);

        // Each waiting notice gets its own full time from when it shows.
        QStringList visti;
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(titoloCorrente(m), QString::fromLatin1(titoli[i]));
            visti << titoloCorrente(m);
            clock.advance(durate[i] - 0.01);
            QCOMPARE(titoloCorrente(m), QString::fromLatin1(titoli[i]));
            clock.advance(0.01);
        }
        QVERIFY(!m.corrente());
        QCOMPARE(visti, QStringList({"A", "B", "C", "D", "E"}));
        // One change per switch, then one when the card goes away.
        QCOMPARE(spy.count(), 5);
    }

    void theSameNoticeTwiceShowsTwice()
    {
        AttivitaManager m(clock);
        const AttivitaNotch a = notizia("A");
        m.mostra(a, 1);
        m.mostra(a, 1);
        QCOMPARE(m.coda().size(), 1);
        clock.advance(1);
        QCOMPARE(m.corrente(), std::optional<AttivitaNotch>(a));
        clock.advance(1);
        QVERIFY(!m.corrente());
    }

    void equalityIsById()
    {
        AttivitaNotch a = notizia("A");
        AttivitaNotch b = a;
        b.titolo = QStringLiteral("diverso");
        QVERIFY(a == b);
        QVERIFY(!(notizia("A") == notizia("A")));
    }

    void unusableDurationsStillEnd_data()
    {
        QTest::addColumn<double>("durata");
        QTest::addColumn<double>("fine");
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 4.0;
        QTest::newRow("inf") << std::numeric_limits<double>::infinity() << 4.0;
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << 4.0;
        QTest::newRow("negative") << -5.0 << 0.0;
        QTest::newRow("huge") << 1e300 << 60.0;
    }
    void unusableDurationsStillEnd()
    {
        QFETCH(double, durata);
        QFETCH(double, fine);
        AttivitaManager m(clock);
        m.mostra(notizia("A"), durata);
        QVERIFY(m.corrente());
        clock.advance(fine);
        QVERIFY(!m.corrente());
    }

    void releasedManagerIgnoresItsExpiry()
    {
        {
            AttivitaManager m(clock);
            m.mostra(notizia("A"), 1);
        }
        clock.advance(2);
        QCOMPARE(clock.pending(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAttivitaManager)
#include "tst_AttivitaManager.moc"
