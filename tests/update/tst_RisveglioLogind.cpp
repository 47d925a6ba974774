#include "RisveglioLogind.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

// logind stands on the private session bus here: the same name, path and
// signal as on the system bus.
class TestRisveglioLogind : public QObject {
    Q_OBJECT

    static void prepara(QDBusConnection& bus, bool inizio)
    {
        QDBusMessage m = QDBusMessage::createSignal("/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                                    "PrepareForSleep");
        m << inizio;
        QVERIFY(bus.send(m));
    }

private slots:
    void onlyTheEndOfSleepIsAWake()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        QVERIFY(bus.registerService("org.freedesktop.login1"));
        RisveglioLogind r(bus);
        QVERIFY(r.inAscolto());
        QSignalSpy spy(&r, &Risveglio::risvegliato);
        prepara(bus, true);
        prepara(bus, false);
        QTRY_COMPARE(spy.count(), 1);
        prepara(bus, true);
        QTest::qWait(100);
        QCOMPARE(spy.count(), 1);
    }

    void anotherSenderIsIgnored()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        RisveglioLogind r(bus);
        QDBusConnection estraneo = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "estraneo");
        QSignalSpy spy(&r, &Risveglio::risvegliato);
        prepara(estraneo, false);
        QTest::qWait(200);
        QCOMPARE(spy.count(), 0);
        prepara(bus, false);
        QTRY_COMPARE(spy.count(), 1);
    }

    void withoutABusNothingFails()
    {
        RisveglioLogind r(QDBusConnection(QStringLiteral("nessuno")));
        QVERIFY(!r.inAscolto());
    }
};

QTEST_GUILESS_MAIN(TestRisveglioLogind)
#include "tst_RisveglioLogind.moc"
