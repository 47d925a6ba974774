#include "AppDelegate.h"
#include "FakeClock.h"
#include "FakePuntatore.h"
#include "FakeScreens.h"
#include "FakeTastoGlobale.h"
#include "InstallazioneCardView.h"
#include "NotchAccessRouter.h"
#include "NotchPanel.h"
#include "NotificheApp.h"
#include "ScorciatoiaTacca.h"
#include "SlotScheda.h"
#include "TracciamentoPannello.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

class TestAppDelegate : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    struct Banco {
        FakeClock clock;
        FakeScreens schermi;
        FakePuntatore puntatore;
        UserDefaults impostazioni;
        FakeTastoGlobale tasto;
        ScorciatoiaTacca scorciatoia{tasto, impostazioni};
        std::unique_ptr<AppDelegate> d;

        Banco(const QString& ini, NotchGeometry::Posizione pos = inApplicazioni()) : impostazioni(ini)
        {
            schermi.lista = {FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0)};
            d = std::make_unique<AppDelegate>(AppDelegate::Dipendenze{clock, schermi, puntatore, impostazioni,
                                                                      scorciatoia, {}, pos});
        }
        static NotchGeometry::Posizione inApplicazioni()
        {
            return {QStringLiteral("/Applications/Halvora.app"), QStringLiteral("/Applications/Halvora.app/x"),
                    QStringLiteral("/home/u")};
        }
        NotchStateManager& s() { return d->stateManager(); }
    };

    QString ini()
    {
        static int n = 0;
        return dir.filePath(QStringLiteral("d%1.ini").arg(++n));
    }

private slots:
    void placesThePanelOverTheNotch_data()
    {
        QTest::addColumn<ScreenInfo>("schermo");
        QTest::addColumn<bool>("discreta");
        QTest::addColumn<QPoint>("origine");
        QTest::addColumn<QSizeF>("compatta");
        QTest::addColumn<bool>("tacca");
        QTest::newRow("no notch") << FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0) << false << QPoint(560, 0)
                                  << QSizeF(180, 32) << false;
        // It hangs under the desktop's own panel, which keeps its controls.
        QTest::newRow("top panel") << FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 37) << false
                                   << QPoint(560, 37) << QSizeF(180, 32) << false;
        QTest::newRow("notch") << FakeScreens::conTacca(QRectF(0, 0, 1512, 982), 600, 32, 32) << false
                               << QPoint(356, 0) << QSizeF(308, 30.5) << true;
        QTest::newRow("discreet") << FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), 0) << true << QPoint(560, 0)
                                  << QSizeF(180, 32) << false;
    }
    void placesThePanelOverTheNotch()
    {
        QFETCH(ScreenInfo, schermo);
        QFETCH(bool, discreta);
        QFETCH(QPoint, origine);
        QFETCH(QSizeF, compatta);
        QFETCH(bool, tacca);
        Banco b(ini());
        b.schermi.lista = {schermo};
        b.impostazioni.setValue(QStringLiteral("taccaDiscreta"), discreta);
        b.d->applicationDidFinishLaunching();
        QCOMPARE(b.d->window()->frameTela(), QRect(origine, QSize(800, 600)));
        QCOMPARE(b.s().dimensioneCompatta(), compatta);
        QCOMPARE(b.s().haTaccaFisica(), tacca);
        QCOMPARE(b.s().linguettaAttiva(), discreta);
    }

    void followsTheFirstScreenAndSurvivesNone()
    {
        Banco b(ini());
        b.d->applicationDidFinishLaunching();
        b.schermi.imposta({FakeScreens::senzaTacca(QRectF(1920, 0, 2560, 1440), 0)});
        QCOMPARE(b.d->window()->frameTela().topLeft(), QPoint(1920 + 1280 - 400, 0));
        b.s().setState(NotchState::expanded);
        b.schermi.imposta({}); // the screen went away: left where it is
        QCOMPARE(b.d->window()->frameTela().topLeft(), QPoint(1920 + 1280 - 400, 0));
    }

    void aSettingChangeRetriesTheHotKeyAndReplaces()
    {
        Banco b(ini());
        b.tasto.occupatoDaAltri = true;
        b.d->applicationDidFinishLaunching();
        QVERIFY(b.scorciatoia.occupata());
        b.tasto.occupatoDaAltri = false;
        b.impostazioni.setValue(QStringLiteral("taccaDiscreta"), true);
        QVERIFY(!b.scorciatoia.occupata());
        QVERIFY(b.s().linguettaAttiva());
        b.tasto.premi();
        QTRY_COMPARE(b.s().currentState(), NotchState::expanded);
        QVERIFY(b.s().apertaDaTastiera());
    }

    void contextChangesCloseAtOnce_data()
    {
        QTest::addColumn<int>("evento");
        QTest::addColumn<bool>("chiude");
        QTest::newRow("desktop switch") << 0 << true;
        QTest::newRow("another application") << 1 << true;
        QTest::newRow("no application") << 2 << true;
        QTest::newRow("this application") << 3 << false;
    }
    void contextChangesCloseAtOnce()
    {
        QFETCH(int, evento);
        QFETCH(bool, chiude);
        Banco b(ini());
        b.d->applicationDidFinishLaunching();
        b.s().toggleFromHotKey(); // even a hot-key opening
        switch (evento) {
        case 0: b.d->activeSpaceDidChange(); break;
        case 1: b.d->anotherAppDidActivate(1); break;
        case 2: b.d->anotherAppDidActivate(std::nullopt); break;
        case 3: b.d->anotherAppDidActivate(QCoreApplication::applicationPid()); break;
        }
        QCOMPARE(b.s().currentState() == NotchState::compact, chiude);
        QCOMPARE(b.clock.pending() > 0 && b.s().collassoInAttesa(), false);
    }

    void locationCard_data()
    {
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<bool>("giaMostrato");
        QTest::addColumn<bool>("mostra");
        QTest::newRow("installed") << "/Applications/Halvora.app" << false << false;
        QTest::newRow("user's own applications") << "/home/u/Applications/Halvora.app" << false << false;
        QTest::newRow("elsewhere, first time") << "/home/u/src/Halvora.app" << false << true;
        QTest::newRow("elsewhere, once shown") << "/home/u/src/Halvora.app" << true << false;
        QTest::newRow("mounted image, every time") << "/Volumes/Halvora/Halvora.app" << true << true;
    }
    void locationCard()
    {
        QFETCH(QString, bundle);
        QFETCH(bool, giaMostrato);
        QFETCH(bool, mostra);
        NotchGeometry::Posizione pos{bundle, bundle + QStringLiteral("/x"), QStringLiteral("/home/u")};
        Banco b(ini(), pos);
        if (giaMostrato)
            b.impostazioni.setValue(QStringLiteral("avvisoPosizioneMostrato"), true);
        b.d->applicationDidFinishLaunching();
        b.clock.advance(0.99);
        QVERIFY(!b.s().installazioneDaSistemare());
        b.clock.advance(0.02);
        QCOMPARE(b.s().installazioneDaSistemare(), mostra);
        SlotScheda* slot = b.d->router()->root()->slot();
        auto* card = qobject_cast<InstallazioneCardView*>(slot->scheda());
        QCOMPARE(card != nullptr, mostra);
        if (!mostra)
            return;
        QVERIFY(b.impostazioni.boolValue(QStringLiteral("avvisoPosizioneMostrato"), false));
        // Closed, it stays away for the run, whatever the notch does.
        card->pulsanteChiudi()->click();
        QVERIFY(!b.s().installazioneDaSistemare());
        QVERIFY(!slot->scheda());
        b.s().setState(NotchState::expanded);
        b.s().setState(NotchState::compact);
        QVERIFY(!slot->scheda());
    }

    void captureMakesThePanelInvisibleAndClickThrough()
    {
        Banco b(ini());
        b.d->applicationDidFinishLaunching();
        b.puntatore.sposta({960, 10});
        QVERIFY(!b.d->window()->ignoraEventiMouse());
        b.s().setCatturaInCorso(true);
        QCOMPARE(b.d->window()->windowOpacity(), 0.0);
        QVERIFY(b.d->window()->ignoraEventiMouse());
        b.s().setCatturaInCorso(false);
        QCOMPARE(b.d->window()->windowOpacity(), 1.0);
    }

    void urlsBecomeNoticesAndADragStartsTheWatch()
    {
        Banco b(ini());
        b.d->applicationDidFinishLaunching();
        b.d->apriURL({QUrl(QStringLiteral("halvora://attivita?titolo=Ciao&durata=3")),
                      QUrl(QStringLiteral("halvora://nulla"))});
        QVERIFY(b.d->attivitaManager().corrente());
        QCOMPARE(b.d->attivitaManager().corrente()->titolo, QStringLiteral("Ciao"));
        QVERIFY(b.d->attivitaManager().coda().isEmpty());
        b.puntatore.s.pulsantePremuto = true;
        emit NotificheApp::shared().trascinamentoAvviato();
        QVERIFY(b.d->tracciamento()->vigilanzaAttiva());
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_AppDelegate.moc"
