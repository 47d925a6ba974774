#include "SwayIpc.h"
#include "TastoSway.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// sway binds Control+Alt+N to our command and forgets it when given back.
class TestTastoSway : public QObject {
    Q_OBJECT

    static bool premi()
    {
        return QProcess::execute(QStringLiteral("wtype"), {"-M", "ctrl", "-M", "alt", "n", "-m", "alt", "-m", "ctrl"})
               == 0;
    }

private slots:
    void bindsTheCommandAndRemovesItWhenGivenBack()
    {
        QTemporaryDir dir;
        const QString segno = dir.filePath(QStringLiteral("premuto"));
        TastoSway tasto(SwayIpc::socket(), {QStringLiteral("/usr/bin/touch"), segno});
        QSignalSpy rifiuti(&tasto, &TastoGlobale::rifiutata);
        QVERIFY(tasto.registra());
        tasto.aspetta();
        QCoreApplication::processEvents();
        QVERIFY(rifiuti.isEmpty());
        QCOMPARE(tasto.combinazione(), QStringLiteral("Ctrl+Alt+N"));
        QVERIFY(premi());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(segno), 2000);

        QFile::remove(segno);
        tasto.rilascia();
        tasto.aspetta();
        QVERIFY(premi());
        QTest::qWait(500); // sway would have run the command by now
        QVERIFY(!QFile::exists(segno));
    }
};

QTEST_GUILESS_MAIN(TestTastoSway)
#include "tst_TastoSway.moc"
