#include "DownloadMonitor.h"
#include "FakeClock.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The Downloads watcher on a folder of the test: real folder events, the
// 0.6 s gathering on the fake clock.
class TestDownloadMonitor : public QObject {
    Q_OBJECT

    static void scrivi(const QDir& cartella, const QString& nome)
    {
        QFile f(cartella.filePath(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("dati");
    }

    // Waits for the folder event, then lets the gathering delay run out.
    static void dopoLaRaffica(DownloadMonitor& m, FakeClock& clock)
    {
        QTRY_VERIFY(m.inAttesa());
        QTest::qWait(50); // later events of the same burst
        clock.advance(DownloadMonitor::kAttesa);
    }

    static QString pubblicato(const DownloadMonitor& m)
    {
        return m.ultimoArrivo() ? QFileInfo(m.ultimoArrivo()->toLocalFile()).fileName() : QString();
    }

private slots:
    void skippedNames_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<bool>("saltato");
        QTest::newRow("chrome partial") << "film.mp4.crdownload" << true;
        QTest::newRow("firefox partial, upper case") << "film.mp4.PART" << true;
        QTest::newRow("safari") << "film.download" << true;
        QTest::newRow("partial") << "x.partial" << true;
        QTest::newRow("tmp") << "x.Tmp" << true;
        QTest::newRow("finished") << "film.mp4" << false;
        QTest::newRow("no extension") << "LEGGIMI" << false;
        QTest::newRow("extension only in the middle") << "tmp.pdf" << false;
    }
    void skippedNames()
    {
        QFETCH(QString, nome);
        QFETCH(bool, saltato);
        QCOMPARE(DownloadMonitor::estensioneSaltata(nome), saltato);
    }

    void aPartialFilePublishesNothingUntilItsRename()
    {
        QTemporaryDir dir;
        FakeClock clock;
        DownloadMonitor m(clock, dir.path());
        QDir cartella(dir.path());
        scrivi(cartella, QStringLiteral("film.mp4.crdownload"));
        dopoLaRaffica(m, clock);
        QVERIFY(!m.ultimoArrivo());
        QVERIFY(cartella.rename(QStringLiteral("film.mp4.crdownload"), QStringLiteral("film.mp4")));
        QTRY_VERIFY(m.inAttesa());
        clock.advance(DownloadMonitor::kAttesa - 0.05);
        QVERIFY(!m.ultimoArrivo()); // not before the gathering delay
        clock.advance(0.05);
        QCOMPARE(pubblicato(m), QStringLiteral("film.mp4"));
        QCOMPARE(m.ultimoArrivo()->toLocalFile(), cartella.filePath(QStringLiteral("film.mp4")));
    }

    void aBurstPublishesOnlyTheNameThatSortsLast()
    {
        QTemporaryDir dir;
        FakeClock clock;
        DownloadMonitor m(clock, dir.path());
        QDir cartella(dir.path());
        QSignalSpy pubblicazioni(&m, &DownloadMonitor::ultimoArrivoChanged);
        scrivi(cartella, QStringLiteral("b.pdf"));
        QTRY_VERIFY(m.inAttesa());
        clock.advance(0.5);
        scrivi(cartella, QStringLiteral("a.pdf")); // the burst goes on: the delay starts again
        QTRY_VERIFY(clock.nextDue() > 0.5);
        clock.advance(0.5);
        QVERIFY(!m.ultimoArrivo());
        dopoLaRaffica(m, clock);
        QCOMPARE(pubblicato(m), QStringLiteral("b.pdf"));
        QCOMPARE(pubblicazioni.count(), 1);
        // The other one was only noted: a later rescan does not bring it up.
        m.setUltimoArrivo(std::nullopt);
        scrivi(cartella, QStringLiteral(".nascosto"));
        dopoLaRaffica(m, clock);
        QVERIFY(!m.ultimoArrivo());
    }

    void filesAlreadyThereAndHiddenFilesNeverCount()
    {
        QTemporaryDir dir;
        QDir cartella(dir.path());
        scrivi(cartella, QStringLiteral("vecchio.zip"));
        FakeClock clock;
        DownloadMonitor m(clock, dir.path());
        scrivi(cartella, QStringLiteral(".~lock.doc#"));
        QFile vecchio(cartella.filePath(QStringLiteral("vecchio.zip")));
        QVERIFY(vecchio.open(QIODevice::Append));
        vecchio.write("altro"); // an old file that grows is not new
        vecchio.close();
        dopoLaRaffica(m, clock);
        QVERIFY(!m.ultimoArrivo());
    }

    void aFileDeletedAndDownloadedAgainIsNew()
    {
        QTemporaryDir dir;
        QDir cartella(dir.path());
        scrivi(cartella, QStringLiteral("foto.jpg"));
        FakeClock clock;
        DownloadMonitor m(clock, dir.path());
        QVERIFY(cartella.remove(QStringLiteral("foto.jpg")));
        dopoLaRaffica(m, clock);
        QVERIFY(!m.ultimoArrivo());
        scrivi(cartella, QStringLiteral("foto.jpg"));
        dopoLaRaffica(m, clock);
        QCOMPARE(pubblicato(m), QStringLiteral("foto.jpg"));
    }

    void anOverfullFolderPublishesNothingUntilItFitsAgain()
    {
        QTemporaryDir dir;
        QDir cartella(dir.path());
        for (int i = 0; i <= DownloadMonitor::kMassimoNomi; ++i)
            QFile(cartella.filePath(QStringLiteral("f%1").arg(i))).open(QIODevice::WriteOnly);
        QVERIFY(!DownloadMonitor::elencoNomi(dir.path()));
        FakeClock clock;
        DownloadMonitor m(clock, dir.path());
        // Back under the bound: the first listing only takes note.
        QVERIFY(cartella.remove(QStringLiteral("f0")));
        QVERIFY(cartella.remove(QStringLiteral("f1")));
        dopoLaRaffica(m, clock);
        QVERIFY(!m.ultimoArrivo());
        scrivi(cartella, QStringLiteral("nuovo.txt"));
        dopoLaRaffica(m, clock);
        QCOMPARE(pubblicato(m), QStringLiteral("nuovo.txt"));
    }

    void aMissingFolderWatchesNothing()
    {
        FakeClock clock;
        DownloadMonitor m(clock, QStringLiteral("/nonexistent/Scaricati"));
        DownloadMonitor vuota(clock, QString());
        QVERIFY(!m.inAttesa() && !m.ultimoArrivo());
        QCOMPARE(clock.pending(), 0);
    }

    void destroyingCancelsThePendingRescan()
    {
        QTemporaryDir dir;
        FakeClock clock;
        {
            DownloadMonitor m(clock, dir.path());
            scrivi(QDir(dir.path()), QStringLiteral("x.pdf"));
            QTRY_VERIFY(m.inAttesa());
        }
        QCOMPARE(clock.pending(), 0);
        clock.advance(1); // nothing runs on the gone monitor
    }
};

QTEST_MAIN(TestDownloadMonitor)
#include "tst_DownloadMonitor.moc"
