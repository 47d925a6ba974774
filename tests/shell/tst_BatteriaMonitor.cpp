#include "AttivitaManager.h"
#include "BatteriaMonitor.h"
#include "Colori.h"
#include "FakeClock.h"
#include "Reazioni.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<StatoAlimentazione>)

namespace {
const QString kServizio = QStringLiteral("org.freedesktop.UPower");
const QString kDisplay = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

std::optional<StatoAlimentazione> st(bool corrente, bool carica, int p)
{
    return StatoAlimentazione{corrente, carica, p};
}
} // namespace

// The power notices against a stand-in UPower (python3-dbusmock's template)
// on the test's private session bus, plus the kernel-folder fallback.
class TestBatteriaMonitor : public QObject {
    Q_OBJECT
    QProcess mock;

    static void imposta(bool batteria, uint stato, double percentuale)
    {
        QDBusInterface radice(kServizio, QStringLiteral("/org/freedesktop/UPower"),
                              QStringLiteral("org.freedesktop.DBus.Properties"), QDBusConnection::sessionBus());
        QDBusInterface dispositivo(kServizio, QStringLiteral("/org/freedesktop/UPower"), kMock,
                                   QDBusConnection::sessionBus());
        QVariantMap prop{{QStringLiteral("State"), QVariant::fromValue(stato)},
                         {QStringLiteral("Percentage"), percentuale},
                         {QStringLiteral("IsPresent"), true}};
        dispositivo.call(QStringLiteral("SetDeviceProperties"), QVariant::fromValue(QDBusObjectPath(kDisplay)),
                         prop);
        radice.call(QStringLiteral("Set"), QStringLiteral("org.freedesktop.UPower"), QStringLiteral("OnBattery"),
                    QVariant::fromValue(QDBusVariant(batteria)));
    }

private slots:
    void notices_data()
    {
        QTest::addColumn<std::optional<StatoAlimentazione>>("prima");
        QTest::addColumn<std::optional<StatoAlimentazione>>("dopo");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("simbolo");
        QTest::addColumn<QColor>("tinta");
        QTest::newRow("plugged in, charging") << st(false, false, 40) << st(true, true, 40) << "In carica"
                                              << "battery.100.bolt" << Colori::verde();
        QTest::newRow("plugged in, full") << st(false, false, 100) << st(true, false, 100)
                                          << "Alimentatore collegato" << "powerplug.fill" << Colori::verde();
        QTest::newRow("unplugged at 20") << st(true, false, 20) << st(false, false, 20)
                                         << "Alimentazione a batteria" << "battery.50" << Colori::arancione();
        QTest::newRow("unplugged at 21") << st(true, false, 21) << st(false, false, 21)
                                         << "Alimentazione a batteria" << "battery.50" << QColor();
        QTest::newRow("first reading") << std::optional<StatoAlimentazione>() << st(true, true, 50) << ""
                                       << "" << QColor();
        QTest::newRow("charge alone") << st(false, false, 50) << st(false, false, 49) << "" << "" << QColor();
        QTest::newRow("charging alone") << st(true, false, 50) << st(true, true, 50) << "" << "" << QColor();
    }
    void notices()
    {
        QFETCH(std::optional<StatoAlimentazione>, prima);
        QFETCH(std::optional<StatoAlimentazione>, dopo);
        QFETCH(QString, titolo);
        QFETCH(QString, simbolo);
        QFETCH(QColor, tinta);
        const auto a = Reazioni::avvisoAlimentazione(prima, dopo);
        QCOMPARE(a.has_value(), !titolo.isEmpty());
        if (!a)
            return;
        QCOMPARE(a->titolo, titolo);
        QCOMPARE(a->simbolo, simbolo);
        QCOMPARE(a->tinta.value_or(QColor()), tinta);
        QCOMPARE(*a->dettaglio, QStringLiteral("%1%").arg(dopo->percentuale));
    }

    void kernelFolderFallback()
    {
        QTemporaryDir dir;
        auto scrivi = [&](const QString& f, const QByteArray& v) {
            QDir().mkpath(QFileInfo(dir.filePath(f)).path());
            QFile file(dir.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(v + '\n');
        };
        QCOMPARE(BatteriaMonitor::leggiSys(dir.path()), std::nullopt); // no battery
        scrivi(QStringLiteral("AC/type"), "Mains");
        scrivi(QStringLiteral("AC/online"), "0");
        scrivi(QStringLiteral("BAT0/type"), "Battery");
        scrivi(QStringLiteral("BAT0/capacity"), "137");
        scrivi(QStringLiteral("BAT0/status"), "Discharging");
        QCOMPARE(BatteriaMonitor::leggiSys(dir.path()), st(false, false, 100)); // clamped
        scrivi(QStringLiteral("AC/online"), "1");
        scrivi(QStringLiteral("BAT0/capacity"), "62.9");
        QCOMPARE(BatteriaMonitor::leggiSys(dir.path()), st(true, false, 62));

        FakeClock clock;
        BatteriaMonitor m(clock, QDBusConnection(QStringLiteral("nessuno")), dir.path());
        QVERIFY(!m.usaUPower());
        QCOMPARE(m.stato(), st(true, false, 62));
        QSignalSpy spy(&m, &BatteriaMonitor::statoChanged);
        clock.advance(30);
        QCOMPARE(spy.count(), 0); // same reading, nothing published
        scrivi(QStringLiteral("AC/online"), "0");
        clock.advance(30);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(m.stato(), st(false, false, 62));
        QCOMPARE(BatteriaMonitor::percentualeSicura(-3), 0);
        QCOMPARE(BatteriaMonitor::percentualeSicura(std::nan("")), 0);
    }

    void upowerChangesBecomeNotices()
    {
        mock.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--session"),
                    QStringLiteral("--template"), QStringLiteral("upower")});
        QVERIFY(mock.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(kServizio), 10000);
        imposta(false, 1, 57.0); // on mains, charging

        FakeClock clock;
        AttivitaManager attivita(clock);
        BatteriaMonitor m(clock, QDBusConnection::sessionBus());
        QVERIFY(m.usaUPower());
        QObject::connect(&m, &BatteriaMonitor::statoChanged, [&](const std::optional<StatoAlimentazione>& prima) {
            if (auto a = Reazioni::avvisoAlimentazione(prima, m.stato()))
                attivita.mostra(*a, Reazioni::kDurataAvviso);
        });
        QTRY_COMPARE(m.stato(), st(true, true, 57));
        QVERIFY(!attivita.corrente()); // the first reading raises nothing

        imposta(true, 2, 20.0); // unplugged at 20 %
        QTRY_COMPARE(m.stato(), st(false, false, 20));
        QVERIFY(attivita.corrente());
        QCOMPARE(attivita.corrente()->titolo, QStringLiteral("Alimentazione a batteria"));
        QCOMPARE(attivita.corrente()->tinta, Colori::arancione());
        clock.advance(3.9);
        QVERIFY(attivita.corrente());
        clock.advance(0.1);
        QVERIFY(!attivita.corrente()); // 4 s

        imposta(false, 1, 21.0); // plugged in again
        QTRY_COMPARE(m.stato(), st(true, true, 21));
        QCOMPARE(attivita.corrente()->titolo, QStringLiteral("In carica"));
        QCOMPARE(attivita.corrente()->tinta, Colori::verde());
    }

    void cleanupTestCase()
    {
        mock.terminate();
        mock.waitForFinished();
    }
};

QTEST_MAIN(TestBatteriaMonitor)
#include "tst_BatteriaMonitor.moc"
