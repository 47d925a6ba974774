#include "AiutanteCatturaFinto.h"
#include "DropManager.h"
#include "FakeClock.h"
#include "FakeInvioVicino.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// A screenshot is the helper's picture, taken after the pause and kept only
// when the helper says it saved it; one capture runs at a time.
class TestCatturaSchermo : public QObject {
    Q_OBJECT
    QTemporaryDir dati;

    struct Banco {
        QTemporaryDir lavoro;
        FakeClock clock;
        FakeInvioVicino invio;
        DropManager m;
        int prima = 0;
        QList<std::optional<QUrl>> risultati;

        explicit Banco(const QString& azione, const QString& programma = {})
            : m(invio, std::make_unique<CatturaSchermo>(
                           clock, programma.isEmpty() ? AiutanteCatturaFinto::scrivi(lavoro.path(), azione) : programma))
        {
        }
        void cattura(ScreenshotMode modo)
        {
            m.captureScreenshot(modo, [this] { ++prima; }, [this](std::optional<QUrl> u) { risultati << u; });
        }
        QString leggi(const QString& nome) const
        {
            QFile f(QDir(lavoro.path()).filePath(nome));
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
        }
    };

    static QStringList nelVassoio() { return QDir(DropManager::trayFolder()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", QFile::encodeName(dati.path())); }
    void cleanup()
    {
        for (const QString& f : nelVassoio())
            QFile::remove(QDir(DropManager::trayFolder()).filePath(f));
    }

    void eachModeWaitsItsPauseThenRunsTheHelper_data()
    {
        QTest::addColumn<ScreenshotMode>("modo");
        QTest::addColumn<double>("pausa");
        QTest::addColumn<QString>("opzioni");
        QTest::newRow("full screen") << ScreenshotMode::fullScreen << 0.5 << "-x";
        QTest::newRow("area") << ScreenshotMode::area << 0.25 << "-i";
        QTest::newRow("window") << ScreenshotMode::window << 0.25 << "-i\n-W";
    }
    void eachModeWaitsItsPauseThenRunsTheHelper()
    {
        QFETCH(ScreenshotMode, modo);
        QFETCH(double, pausa);
        QFETCH(QString, opzioni);
        Banco b(AiutanteCatturaFinto::salva());
        for (int volta = 1; volta <= 2; ++volta) {
            b.cattura(modo);
            // The panel is asked away first; the helper starts after the pause.
            QCOMPARE(b.prima, volta);
            QCOMPARE(b.clock.nextDue(), pausa);
            b.clock.advance(pausa - 0.01);
            QVERIFY(b.leggi(QStringLiteral("argomenti")).isEmpty());
            b.clock.advance(0.01);
            QTRY_COMPARE(b.risultati.size(), volta);
            const QUrl u = *b.risultati.last();
            QVERIFY(QRegularExpression(QStringLiteral("^screenshot_[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.png$"))
                        .match(u.fileName())
                        .hasMatch());
            QCOMPARE(QFileInfo(u.toLocalFile()).absolutePath(), DropManager::trayFolder());
            QCOMPARE(b.m.draggedFiles().last(), u);
            QCOMPARE(b.leggi(QStringLiteral("argomenti")),
                     QStringLiteral("%1\n--escludi\n%2\n%3").arg(opzioni).arg(QCoreApplication::applicationPid()).arg(u.toLocalFile()));
            QFile::remove(QDir(b.lavoro.path()).filePath(QStringLiteral("argomenti")));
        }
        // The same kind twice: two files.
        QCOMPARE(b.m.draggedFiles().size(), 2);
    }

    void onlyExitZeroWithTheFileIsAPicture_data()
    {
        QTest::addColumn<QString>("azione");
        QTest::addColumn<QString>("programma");
        QTest::newRow("cancelled") << "exit 1" << QString();
        QTest::newRow("failed") << "exit 2" << QString();
        QTest::newRow("success without a file") << "exit 0" << QString();
        QTest::newRow("file but cancelled") << "printf x > \"$FILE\"; exit 1" << QString();
        QTest::newRow("cannot start") << QString() << "/nonexistent/halvora-cattura";
        // Killed while its picture is half written under the temporary name.
        QTest::newRow("killed") << "printf x > \"$(dirname \"$FILE\")/.$(basename \"$FILE\").parziale\"; kill -9 $$"
                                << QString();
    }
    void onlyExitZeroWithTheFileIsAPicture()
    {
        QFETCH(QString, azione);
        QFETCH(QString, programma);
        Banco b(azione, programma);
        QSignalSpy aggiunti(&b.m, &DropManager::aggiunto);
        b.cattura(ScreenshotMode::area);
        b.clock.advance(0.25);
        QTRY_COMPARE(b.risultati.size(), 1);
        QVERIFY(!b.risultati.first());
        QCOMPARE(aggiunti.size(), 0);
        // Nothing is left for the next start to list.
        QCOMPARE(nelVassoio(), QStringList());
    }

    void aSecondCaptureWhileOneRunsIsRefused()
    {
        Banco b(AiutanteCatturaFinto::salva());
        b.cattura(ScreenshotMode::fullScreen);
        b.cattura(ScreenshotMode::area);
        QCOMPARE(b.prima, 1);
        // The refusal comes later, as every answer does, and the first runs on.
        QVERIFY(b.risultati.isEmpty());
        QTRY_COMPARE(b.risultati.size(), 1);
        QVERIFY(!b.risultati.first() && b.m.catturaAttiva());
        b.clock.advance(0.5);
        QTRY_COMPARE(b.risultati.size(), 2);
        QVERIFY(b.risultati.last() && !b.m.catturaAttiva());
        QVERIFY(b.leggi(QStringLiteral("argomenti")).startsWith(QLatin1String("-x")));
    }
};

QTEST_GUILESS_MAIN(TestCatturaSchermo)
#include "tst_CatturaSchermo.moc"
