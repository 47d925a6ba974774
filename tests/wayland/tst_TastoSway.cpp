#include "SwayIpc.h"
#include "TastoSway.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// sway binds Control+Alt+N to our command and forgets it when given back,
// also when the run that bound it is gone.
class TestTastoSway : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const QString segno = dir.filePath(QStringLiteral("premuto"));
    const QString nota = dir.filePath(QStringLiteral("nota"));

    static bool premi()
    {
        return QProcess::execute(QStringLiteral("wtype"), {"-M", "ctrl", "-M", "alt", "n", "-m", "alt", "-m", "ctrl"})
               == 0;
    }
    // Registers, and checks that a press runs the command.
    void registraEPremi(TastoSway& tasto)
    {
        QSignalSpy accettate(&tasto, &TastoGlobale::accettata);
        QSignalSpy rifiuti(&tasto, &TastoGlobale::rifiutata);
        QVERIFY(tasto.registra());
        QVERIFY(accettate.wait(5000));
        QVERIFY(rifiuti.isEmpty());
        QCOMPARE(tasto.combinazione(), QStringLiteral("Ctrl+Alt+N"));
        QVERIFY(premi());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(segno), 2000);
        QFile::remove(segno);
    }
    void nonEseguito()
    {
        QVERIFY(premi());
        QTest::qWait(500); // sway would have run the command by now
        QVERIFY(!QFile::exists(segno));
    }

private slots:
    void bindsTheCommandAndRemovesItWhenGivenBack()
    {
        TastoSway tasto(SwayIpc::socket(), {QStringLiteral("/usr/bin/touch"), segno}, nota);
        registraEPremi(tasto);
        tasto.rilascia();
        tasto.aspetta();
        nonEseguito();
    }

    void aLaterRunRemovesWhatADeadOneLeft()
    {
        {
            TastoSway morto(SwayIpc::socket(), {QStringLiteral("/usr/bin/touch"), segno}, nota);
            registraEPremi(morto);
        } // gone without giving the key back, as a killed process
        TastoSway tasto(SwayIpc::socket(), {QStringLiteral("/usr/bin/touch"), segno}, nota);
        tasto.rilascia();
        tasto.aspetta();
        nonEseguito();
    }
};

QTEST_GUILESS_MAIN(TestTastoSway)
#include "tst_TastoSway.moc"
