#include "NotificheDBus.h"
#include "ServizioNotificheFinto.h"

#include <QSignalSpy>
#include <QTest>

// Runs on a private session bus (dbus-run-session) with a fake daemon.
class TestNotificheDBus : public QObject {
    Q_OBJECT

private slots:
    void authorisedOnlyWhileTheServiceAnswers()
    {
        NotificheDBus notifiche;
        QSignalSpy risposte(&notifiche, &Notifiche::autorizzazione);

        notifiche.richiediAutorizzazione();
        QVERIFY(risposte.wait(6000));
        QCOMPARE(risposte.takeFirst().at(0).toBool(), false);

        ServizioNotificheFinto servizio;
        QVERIFY(servizio.avvia());
        notifiche.richiediAutorizzazione();
        QVERIFY(risposte.wait(6000));
        QCOMPARE(risposte.takeFirst().at(0).toBool(), true);

        servizio.ferma();
        notifiche.richiediAutorizzazione();
        QVERIFY(risposte.wait(6000));
        QCOMPARE(risposte.takeFirst().at(0).toBool(), false);
    }

    void everyNoticeArrivesAsANewOneWithTitleAndBody()
    {
        ServizioNotificheFinto servizio;
        QVERIFY(servizio.avvia());
        NotificheDBus notifiche;
        notifiche.invia(QStringLiteral("Sessione Completata!"), QStringLiteral("Ottimo lavoro."));
        notifiche.invia(QStringLiteral("Pausa Terminata"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(servizio.ricevuti.size(), 2, 6000);

        QCOMPARE(servizio.ricevuti[0].titolo, QStringLiteral("Sessione Completata!"));
        QCOMPARE(servizio.ricevuti[0].corpo, QStringLiteral("Ottimo lavoro."));
        QCOMPARE(servizio.ricevuti[1].titolo, QStringLiteral("Pausa Terminata"));
        for (const auto& a : servizio.ricevuti) {
            QCOMPARE(a.sostituisce, 0u);
            QVERIFY(a.suggerimenti.contains(QStringLiteral("sound-name")));
        }
    }

    void anAbsentServiceOrBusIsNotAFailure()
    {
        NotificheDBus notifiche;
        notifiche.invia(QStringLiteral("nessuno"), QStringLiteral("ascolta"));

        // A connection that never reached a bus still answers, with a refusal.
        NotificheDBus senzaBus(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "assente"));
        QSignalSpy risposte(&senzaBus, &Notifiche::autorizzazione);
        senzaBus.invia(QStringLiteral("x"), QStringLiteral("y"));
        senzaBus.richiediAutorizzazione();
        QCOMPARE(risposte.count(), 0); // never answered synchronously
        QVERIFY(risposte.wait(2000));
        QCOMPARE(risposte.at(0).at(0).toBool(), false);
    }
};

QTEST_GUILESS_MAIN(TestNotificheDBus)
#include "tst_NotificheDBus.moc"
