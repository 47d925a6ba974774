#include "FakeTastoGlobale.h"
#include "ScorciatoiaTacca.h"
#include "UserDefaults.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestScorciatoiaTacca : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<UserDefaults> impostazioni()
    {
        static int n = 0;
        return std::make_unique<UserDefaults>(dir.filePath(QStringLiteral("s%1.ini").arg(++n)));
    }

private slots:
    void preference_data()
    {
        QTest::addColumn<QVariant>("valore");
        QTest::addColumn<bool>("registra");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("true") << QVariant(true) << true;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("a string") << QVariant(QStringLiteral("forse")) << true;
    }
    void preference()
    {
        QFETCH(QVariant, valore);
        QFETCH(bool, registra);
        auto s = impostazioni();
        if (valore.isValid())
            s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), valore);
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        sc.imposta([] {});
        QCOMPARE(tasto.preso, registra);
        QCOMPARE(sc.registrata(), registra);
        QVERIFY(!sc.occupata());
        // Switched off from the start: what an earlier run that died left goes.
        QCOMPARE(tasto.rilasci, registra ? 0 : 1);
    }

    void takenCombinationIsRetriedOnTheNextCall()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        tasto.occupatoDaAltri = true;
        ScorciatoiaTacca sc(tasto, *s);
        QSignalSpy spy(&sc, &ScorciatoiaTacca::occupataChanged);
        sc.imposta([] {});
        QVERIFY(sc.occupata());
        QVERIFY(!sc.registrata());
        tasto.occupatoDaAltri = false;
        sc.imposta([] {});
        QVERIFY(!sc.occupata());
        QVERIFY(sc.registrata());
        QCOMPARE(tasto.tentativi, 2);
        QCOMPARE(spy.count(), 2);
    }

    void secondCallWhileRegisteredTakesNothingNewAndRunsTheNewAction()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        int prima = 0, seconda = 0;
        sc.imposta([&] { ++prima; });
        sc.imposta([&] { ++seconda; });
        QCOMPARE(tasto.tentativi, 1);
        tasto.premi();
        QCOMPARE(seconda, 0); // presses run on a later turn of the event loop
        QTRY_COMPARE(seconda, 1);
        QCOMPARE(prima, 0);
    }

    void aRelaunchLetsTheKeyGoAndTakesItBackUnlessSwitchedOff()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        sc.imposta([] {});
        sc.rilascia();
        QVERIFY(!tasto.preso && !sc.registrata());
        // Handed over, not removed: the user's own combination stays with the desktop.
        QCOMPARE(tasto.liberazioni, 1);
        QCOMPARE(tasto.rilasci, 0);
        sc.riprendi();
        QVERIFY(tasto.preso && sc.registrata());
        sc.rilascia();
        s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), false);
        sc.riprendi();
        QVERIFY(!tasto.preso);
    }

    void switchingOffReleasesAndClearsTaken()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        tasto.occupatoDaAltri = true;
        ScorciatoiaTacca sc(tasto, *s);
        sc.imposta([] {});
        QVERIFY(sc.occupata());
        s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), false);
        sc.imposta([] {});
        QVERIFY(!sc.occupata());
        QCOMPARE(tasto.rilasci, 1); // what an earlier run may have left

        tasto.occupatoDaAltri = false;
        s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), true);
        sc.imposta([] {});
        QVERIFY(tasto.preso);
        s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), false);
        sc.imposta([] {});
        QVERIFY(!tasto.preso);
        QCOMPARE(tasto.rilasci, 2);
        sc.imposta([] {});
        QCOMPARE(tasto.rilasci, 2); // nothing taken since
    }

    // A desktop that answers later: a retry while the combination is taken
    // leaves the warning as it is until the answer, and asks once.
    void takenStaysSteadyWhileTheDesktopIsAskedAgain()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        tasto.dopo = true;
        tasto.occupatoDaAltri = true;
        ScorciatoiaTacca sc(tasto, *s);
        QSignalSpy spy(&sc, &ScorciatoiaTacca::occupataChanged);
        sc.imposta([] {});
        tasto.rispondi();
        QVERIFY(sc.occupata());
        for (int i = 0; i < 2; ++i) {
            sc.imposta([] {});
            sc.imposta([] {});
            QVERIFY(sc.occupata());
            tasto.rispondi();
        }
        QCOMPARE(tasto.tentativi, 3);
        QCOMPARE(spy.count(), 1);
        tasto.occupatoDaAltri = false;
        sc.imposta([] {});
        QVERIFY(sc.occupata());
        tasto.rispondi();
        QVERIFY(!sc.occupata() && sc.registrata());
        QCOMPARE(spy.count(), 2);
    }

    void quittingGivesBackOnlyWhatIsRegistered()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        sc.imposta([] {});
        sc.congeda(100);
        sc.congeda(100);
        QVERIFY(!tasto.preso && !sc.registrata());
        QCOMPARE(tasto.liberazioni, 1);
        tasto.occupatoDaAltri = true;
        sc.imposta([] {});
        sc.congeda(100);
        QCOMPARE(tasto.liberazioni, 1);
        QCOMPARE(tasto.rilasci, 0);
    }

    // A desktop that answers later: its refusal is a taken key, and a press
    // it hands over another way counts only while the key is registered.
    void aLateRefusalIsATakenKey()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        int premute = 0;
        sc.imposta([&] { ++premute; });
        sc.premuta();
        QCOMPARE(premute, 1);
        emit tasto.rifiutata();
        QVERIFY(sc.occupata());
        QVERIFY(!sc.registrata());
        sc.premuta();
        QCOMPARE(premute, 1);
        sc.imposta([&] { ++premute; });
        QVERIFY(sc.registrata() && !sc.occupata());
        s->setValue(QStringLiteral("scorciatoiaTaccaAttiva"), false);
        sc.imposta([&] { ++premute; });
        emit tasto.rifiutata(); // the answer to a registration given up meanwhile
        QVERIFY(!sc.occupata());
    }

    void pressBeforeAnyActionDoesNothing()
    {
        auto s = impostazioni();
        FakeTastoGlobale tasto;
        ScorciatoiaTacca sc(tasto, *s);
        sc.registra();
        tasto.premi();
        QCoreApplication::processEvents();
        QVERIFY(sc.registrata());
    }
};

QTEST_MAIN(TestScorciatoiaTacca)
#include "tst_ScorciatoiaTacca.moc"
