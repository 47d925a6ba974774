#include "FakeClock.h"
#include "NotchStateManager.h"

#include <QSignalSpy>
#include <QTest>

class TestNotchStateManager : public QObject {
    Q_OBJECT
    FakeClock clock;

private slots:
    void hoverOpensAtOnceAndLeavingClosesAfterTheGrace()
    {
        NotchStateManager m(clock);
        m.setActiveTab(NotchTab::memo);
        m.aggiornaHover(true);
        QCOMPARE(m.currentState(), NotchState::expanded);
        QCOMPARE(m.panelSize(), QSizeF(430, 480));
        m.aggiornaHover(false);
        QVERIFY(m.collassoInAttesa());
        clock.advance(0.17);
        QCOMPARE(m.currentState(), NotchState::expanded);
        clock.advance(0.011);
        QCOMPARE(m.currentState(), NotchState::compact);
        QCOMPARE(m.panelSize(), QSizeF(180, 32));
        QVERIFY(!m.collassoInAttesa());
    }

    void anOpenMenuHoldsTheNotchUntilItClosesWithThePointerOutside()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        m.aggiornaHover(false); // a collapse pending when the menu opens is dropped
        m.setMenuAperto(true);
        m.aggiornaHover(false);
        clock.advance(1);
        QCOMPARE(m.currentState(), NotchState::expanded);
        m.aggiornaHover(true);
        m.setMenuAperto(false); // closed over the panel: it stays
        clock.advance(1);
        QCOMPARE(m.currentState(), NotchState::expanded);
        m.setMenuAperto(true);
        m.aggiornaHover(false);
        m.setMenuAperto(false);
        clock.advance(NotchStateManager::kRitardoChiusura);
        QCOMPARE(m.currentState(), NotchState::compact);
    }

    void reenteringWithinTheGraceKeepsItOpen()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        m.aggiornaHover(false);
        clock.advance(0.1);
        m.aggiornaHover(true);
        QVERIFY(!m.collassoInAttesa());
        clock.advance(1);
        QCOMPARE(m.currentState(), NotchState::expanded);
        QCOMPARE(clock.pending(), 0);
    }

    void leavingTwiceSchedulesOneCollapse()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        QSignalSpy spy(&m, &NotchStateManager::currentStateChanged);
        m.aggiornaHover(false);
        clock.advance(0.1);
        m.aggiornaHover(false); // must not restart the grace period
        QCOMPARE(clock.pending(), 1);
        clock.advance(0.081);
        QCOMPARE(m.currentState(), NotchState::compact);
        QCOMPARE(spy.count(), 1);
    }

    void leavingAClosedNotchSchedulesNothing()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(false);
        QCOMPARE(clock.pending(), 0);
    }

    void hotKeyOpeningSurvivesTheExitUntilTheNextHover()
    {
        NotchStateManager m(clock);
        m.toggleFromHotKey();
        QCOMPARE(m.currentState(), NotchState::expanded);
        QVERIFY(m.apertaDaTastiera());
        m.aggiornaHover(false);
        QCOMPARE(clock.pending(), 0);
        // Hovering takes the opening over: a later exit closes normally.
        m.aggiornaHover(true);
        QVERIFY(!m.apertaDaTastiera());
        m.aggiornaHover(false);
        clock.advance(0.2);
        QCOMPARE(m.currentState(), NotchState::compact);
    }

    void hotKeyClosesAndCancelsAPendingCollapse()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        m.aggiornaHover(false);
        m.toggleFromHotKey();
        QCOMPARE(m.currentState(), NotchState::compact);
        QCOMPARE(clock.pending(), 0);
        QVERIFY(!m.apertaDaTastiera());
    }

    void guideModeIgnoresHotKeyAndExit()
    {
        NotchStateManager m(clock);
        m.setActiveTab(NotchTab::media);
        m.enterGuideMode();
        QVERIFY(m.modalitaGuida());
        QCOMPARE(m.currentState(), NotchState::expanded);
        QCOMPARE(m.panelSize(), QSizeF(460, 310));
        m.toggleFromHotKey();
        m.aggiornaHover(false);
        clock.advance(1);
        QCOMPARE(m.currentState(), NotchState::expanded);
        m.leaveGuideMode();
        QVERIFY(!m.modalitaGuida());
        QCOMPARE(m.currentState(), NotchState::compact);
        QCOMPARE(m.panelSize(), QSizeF(180, 32));
    }

    void guideStartedWhileOpenTakesTheGuideSizeAndCancelsTheCollapse()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        m.aggiornaHover(false);
        m.enterGuideMode();
        QCOMPARE(m.panelSize(), QSizeF(460, 310));
        clock.advance(1);
        QCOMPARE(m.currentState(), NotchState::expanded);
    }

    void setStateOnTheSameStateIsANoOp()
    {
        NotchStateManager m(clock);
        m.setPanelSize({10, 10});
        m.setState(NotchState::compact);
        QCOMPARE(m.panelSize(), QSizeF(10, 10));
    }

    void switchingTabWhileOpenLeavesTheSizeToTheRootView()
    {
        NotchStateManager m(clock);
        m.aggiornaHover(true);
        m.setActiveTab(NotchTab::clipboard);
        QCOMPARE(m.panelSize(), QSizeF(460, 390));
        QCOMPARE(m.expandedSize(), QSizeF(400, 550));
    }

    void expandedSizes_data()
    {
        QTest::addColumn<NotchTab>("tab");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("media") << NotchTab::media << QSizeF(400, 236);
        QTest::newRow("memo") << NotchTab::memo << QSizeF(430, 480);
        QTest::newRow("mirror") << NotchTab::mirror << QSizeF(420, 550);
        QTest::newRow("clipboard") << NotchTab::clipboard << QSizeF(400, 550);
        QTest::newRow("pomodoro") << NotchTab::pomodoro << QSizeF(400, 530);
        QTest::newRow("tray") << NotchTab::tray << QSizeF(460, 390);
        QTest::newRow("calendario") << NotchTab::calendario << QSizeF(440, 500);
    }
    void expandedSizes()
    {
        QFETCH(NotchTab, tab);
        QFETCH(QSizeF, size);
        NotchStateManager m(clock);
        m.setActiveTab(tab);
        m.toggleFromHotKey();
        QCOMPARE(m.panelSize(), size);
    }

    void startsClosedOnTheTray()
    {
        NotchStateManager m(clock);
        QCOMPARE(m.currentState(), NotchState::compact);
        QCOMPARE(m.activeTab(), NotchTab::tray);
        QCOMPARE(m.panelSize(), QSizeF(180, 32));
        QVERIFY(m.haTaccaFisica());
    }

    void flagsNotifyOnlyOnChange()
    {
        NotchStateManager m(clock);
        QSignalSpy spy(&m, &NotchStateManager::isMediaCardHoveredChanged);
        QSignalSpy tutto(&m, &NotchStateManager::cambiato);
        m.setIsMediaCardHovered(true);
        m.setIsMediaCardHovered(true);
        m.setIsMediaCardHovered(false);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(tutto.count(), 2);
    }

    void destroyedManagerNeverCollapses()
    {
        {
            NotchStateManager m(clock);
            m.aggiornaHover(true);
            m.aggiornaHover(false);
        }
        clock.advance(1); // would crash on a dangling collapse
        QCOMPARE(clock.pending(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNotchStateManager)
#include "tst_NotchStateManager.moc"
