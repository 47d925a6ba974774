#include "AttivitaManager.h"
#include "BarraSchede.h"
#include "FakeClock.h"
#include "NotchAccessRouter.h"
#include "NotificheApp.h"
#include "PannelloAperto.h"
#include "SettingsManager.h"
#include "RootNotchView.h"
#include "TestOutput.h"
#include "UserDefaults.h"
#include "X11Desktop.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestBarraSchede : public QObject {
    Q_OBJECT
    FakeClock clock;

private slots:
    void restingOpensAndPassingOverDoesNot()
    {
        NotchStateManager s(clock);
        BarraSchede b(s, clock);
        b.passaggioSuTab(true, NotchTab::media);
        clock.advance(0.17);
        b.passaggioSuTab(false, NotchTab::media); // left before 0.18 s
        clock.advance(1);
        QCOMPARE(s.activeTab(), NotchTab::tray);
        QVERIFY(!b.hoveredTab());

        b.passaggioSuTab(true, NotchTab::media);
        clock.advance(0.18);
        QCOMPARE(s.activeTab(), NotchTab::media);

        b.passaggioSuTab(true, NotchTab::media); // hovering the active tab arms nothing
        QVERIFY(!b.aperturaInSospeso());
    }

    void direction_data()
    {
        QTest::addColumn<NotchTab>("da");
        QTest::addColumn<NotchTab>("a");
        QTest::addColumn<bool>("avanti");
        QTest::newRow("tray to mirror") << NotchTab::tray << NotchTab::mirror << true;
        QTest::newRow("mirror to tray") << NotchTab::mirror << NotchTab::tray << false;
        QTest::newRow("memo to calendario") << NotchTab::memo << NotchTab::calendario << false;
        QTest::newRow("calendario to pomodoro") << NotchTab::calendario << NotchTab::pomodoro << true;
    }
    void direction()
    {
        QFETCH(NotchTab, da);
        QFETCH(NotchTab, a);
        QFETCH(bool, avanti);
        NotchStateManager s(clock);
        s.setActiveTab(da);
        BarraSchede b(s, clock);
        b.selezionaTab(a);
        QCOMPARE(s.activeTab(), a);
        QCOMPARE(b.direzioneAvanti(), avanti);
        b.selezionaTab(a); // the active tab again: nothing, the direction stays
        QCOMPARE(b.direzioneAvanti(), avanti);
    }

    void powerButtonStopsInOrderHidesSettingsAndCloses()
    {
        NotchStateManager s(clock);
        BarraSchede b(s, clock);
        s.aggiornaHover(true);
        s.aggiornaHover(false); // a collapse is pending
        b.setShowSettings(true);
        QStringList fatti;
        auto passo = [&](const QString& nome, bool attivo) {
            return BarraSchede::Passo{[attivo] { return attivo; }, [&fatti, nome] { fatti << nome; }};
        };
        b.fermaTutto({passo("media", true), passo("camera", false), passo("registrazione", true),
                      passo("pomodoro", true)});
        QCOMPARE(fatti, (QStringList{"media", "registrazione", "pomodoro"}));
        QVERIFY(!b.showSettings());
        QCOMPARE(s.currentState(), NotchState::compact);
        QVERIFY(!s.collassoInAttesa());
    }

    void closingHidesTheSettings()
    {
        NotchStateManager s(clock);
        BarraSchede b(s, clock);
        s.setState(NotchState::expanded);
        b.setShowSettings(true);
        s.chiudiSubito();
        QVERIFY(!b.showSettings());
    }

    void endOfSessionOpensThePomodoroTabOnlyWithTheTimerCardOff()
    {
        QTemporaryDir dir;
        NotchStateManager s(clock);
        AttivitaManager a(clock);
        UserDefaults u(dir.filePath(QStringLiteral("p.ini")));
        X11Desktop desktop;
        NotchAccessRouter router(s, a, QSize(800, 600), {clock, u, desktop, {}, {}});
        QVERIFY(router.root()->settingsManager().mostraSchedaTimer());
        emit NotificheApp::shared().focusTimerDidExpire();
        QCOMPARE(s.currentState(), NotchState::compact); // the timer card shows it instead
        router.root()->settingsManager().setMostraSchedaTimer(false);
        emit NotificheApp::shared().focusTimerDidExpire();
        QCOMPARE(s.currentState(), NotchState::expanded);
        QCOMPARE(s.activeTab(), NotchTab::pomodoro);
    }

    void rendersOfEachTab()
    {
        QTemporaryDir dir;
        NotchStateManager s(clock);
        AttivitaManager a(clock);
        UserDefaults u(dir.filePath(QStringLiteral("t.ini")));
        X11Desktop desktop;
        NotchAccessRouter router(s, a, QSize(800, 600), {clock, u, desktop, {}, {}});
        s.setState(NotchState::expanded);
        for (NotchTab tab : BarraSchede::ordine()) {
            router.root()->barra().selezionaTab(tab);
            s.setPanelSize(s.expandedSize());
            router.root()->completaAnimazioni();
            QVERIFY(!router.root()->pannelloAperto()->isHidden());
            QCOMPARE(router.root()->pannelloAperto()->size(), NotchStateManager::dimensioneScheda(tab).toSize());
            QImage img(800, 600, QImage::Format_ARGB32);
            img.fill(QColor(128, 128, 128));
            QPainter p(&img);
            p.drawImage(0, 0, router.grab().toImage());
            p.end();
            img.save(QDir(cartellaOutputTest()).filePath(QStringLiteral("aperta-%1.png").arg(static_cast<int>(tab))));
            // The settings page takes its own size from any tab, and gives the tab's back.
            router.root()->barra().setShowSettings(true);
            router.root()->completaAnimazioni();
            QCOMPARE(router.root()->pannelloAperto()->size(), NotchStateManager::kDimensioneImpostazioni.toSize());
            QCOMPARE(router.root()->pannelloAperto()->paginaImpostazioni()->size(),
                     NotchStateManager::kDimensioneImpostazioni.toSize());
            router.root()->barra().setShowSettings(false);
            router.root()->completaAnimazioni();
            QCOMPARE(router.root()->pannelloAperto()->size(), NotchStateManager::dimensioneScheda(tab).toSize());
        }
        router.root()->barra().setShowSettings(true);
        salvaRender(router, QStringLiteral("aperta-impostazioni"));
    }
};

QTEST_MAIN(TestBarraSchede)
#include "tst_BarraSchede.moc"
