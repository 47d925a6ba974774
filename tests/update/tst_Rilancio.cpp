#include "BundleProva.h"
#include "FakeClock.h"
#include "Rilancio.h"

#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// A new copy stood in for by a small program that listens on the socket,
// or never does.
class TestRilancio : public QObject {
    Q_OBJECT
    QTemporaryDir cartella;
    QStringList eventi;

    QString socket() const { return cartella.filePath(QStringLiteral("istanza")); }

    Rilancio::Dipendenze dipendenze(Clock& clock)
    {
        return {clock, socket(), [this] { eventi << QStringLiteral("rilascia"); },
                [this] { eventi << QStringLiteral("riprendi"); }, [this] { eventi << QStringLiteral("esci"); }};
    }
    std::function<void(bool)> reazione()
    {
        return [this](bool ok) { eventi << (ok ? QStringLiteral("avviata") : QStringLiteral("fallita")); };
    }
    QString bundle()
    {
        const QString b = cartella.filePath(QStringLiteral("Altro.app"));
        BundleProva::crea(b, {}, QStringLiteral("2.0"), QStringLiteral(HALVORA_ISTANZA_ASCOLTO));
        return b;
    }

private slots:
    void init()
    {
        eventi.clear();
        QLocalServer::removeServer(socket());
        qputenv("HALVORA_PROVA_SOCKET", QFile::encodeName(socket()));
        qunsetenv("HALVORA_PROVA_MUTA");
    }

    void aNewCopyThatListensTakesOverThenThisOneQuits()
    {
        Rilancio r(dipendenze(Clock::system()));
        r.relaunchFrom(bundle(), reazione());
        QTRY_VERIFY_WITH_TIMEOUT(eventi.size() == 3, 8000);
        QCOMPARE(eventi, (QStringList{"rilascia", "avviata", "esci"}));
        const auto pid = Rilancio::pidInAscolto(socket());
        QVERIFY(pid && *pid != QCoreApplication::applicationPid());
        ::kill(static_cast<pid_t>(*pid), SIGTERM);
    }

    void aCopyThatNeverListensFailsAtSixSeconds()
    {
        // Another listener on the socket is not the new copy either.
        qputenv("HALVORA_PROVA_MUTA", "1");
        QLocalServer altra;
        QVERIFY(altra.listen(socket()));
        FakeClock clock;
        Rilancio r(dipendenze(clock));
        r.relaunchFrom(bundle(), reazione());
        for (int i = 0; i < 23; ++i) {
            clock.advance(Rilancio::kIntervallo);
            QTest::qWait(20);
        }
        clock.advance(Rilancio::kLimite - 23 * Rilancio::kIntervallo - 0.01);
        QCOMPARE(eventi, QStringList{"rilascia"});
        clock.advance(0.01);
        QCOMPARE(eventi, (QStringList{"rilascia", "riprendi", "fallita"}));
        QCOMPARE(clock.pending(), 0);
    }

    void aCopyThatCannotStartFailsAtOnce()
    {
        FakeClock clock;
        Rilancio r(dipendenze(clock));
        r.relaunchFrom(cartella.filePath(QStringLiteral("Assente.app")), reazione());
        QCOMPARE(eventi, QStringList{"rilascia"}); // never before returning
        QTRY_COMPARE(eventi, (QStringList{"rilascia", "riprendi", "fallita"}));
    }
};

QTEST_GUILESS_MAIN(TestRilancio)
#include "tst_Rilancio.moc"
