#include "VociZip.h"
#include "ZipProva.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

Q_DECLARE_METATYPE(std::function<void(ZipProva&)>)
using Costruzione = std::function<void(ZipProva&)>;

class TestScompattatore : public QObject {
    Q_OBJECT

    // Runs the helper on the package with small bounds; its exit code.
    static int scompatta(const ZipProva& zip, const QString& cartella)
    {
        const QString pacchetto = cartella + QStringLiteral(".zip");
        if (!zip.salva(pacchetto) || !QDir().mkpath(cartella))
            return -1;
        QProcess p;
        p.start(QStringLiteral(HALVORA_SCOMPATTA), {pacchetto, cartella, QStringLiteral("50"), QStringLiteral("1048576")});
        p.waitForFinished(20000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void whichEntriesMayBeWritten_data()
    {
        QTest::addColumn<QByteArray>("nome");
        QTest::addColumn<uint>("modo");
        QTest::addColumn<bool>("collegamento");
        QTest::addColumn<int>("scritto"); // the mode given, -1 when refused
        QTest::newRow("file") << QByteArray("A.app/x") << 0100664u << false << 0644;
        QTest::newRow("program") << QByteArray("A.app/halvora") << 0100777u << false << 0755;
        QTest::newRow("folder") << QByteArray("A.app/d/") << 040700u << false << 0755;
        QTest::newRow("utf-8 name") << QByteArray("A.app/caff\xc3\xa8") << 0100644u << false << 0644;
        QTest::newRow("file with slash") << QByteArray("A.app/x/") << 0100644u << false << -1;
        QTest::newRow("hard link") << QByteArray("A.app/x") << 0100644u << true << -1;
        QTest::newRow("symbolic link") << QByteArray("A.app/l") << 0120777u << true << -1;
        QTest::newRow("fifo") << QByteArray("A.app/p") << 010644u << false << -1;
        QTest::newRow("device") << QByteArray("A.app/d") << 020644u << false << -1;
        QTest::newRow("setuid") << QByteArray("A.app/s") << 0104755u << false << -1;
        QTest::newRow("sticky folder") << QByteArray("A.app/t/") << 041777u << false << -1;
        QTest::newRow("absolute") << QByteArray("/etc/x") << 0100644u << false << -1;
        QTest::newRow("dot dot") << QByteArray("A.app/../../x") << 0100644u << false << -1;
        QTest::newRow("dot") << QByteArray("./A.app") << 040755u << false << -1;
        QTest::newRow("double slash") << QByteArray("A.app//x") << 0100644u << false << -1;
        QTest::newRow("backslash") << QByteArray("A.app\\..\\x") << 0100644u << false << -1;
        QTest::newRow("newline") << QByteArray("A.app/a\nb") << 0100644u << false << -1;
        QTest::newRow("empty") << QByteArray() << 0100644u << false << -1;
        QTest::newRow("too deep") << QByteArray("a/").repeated(40) + "x" << 0100644u << false << -1;
    }
    void whichEntriesMayBeWritten()
    {
        QFETCH(QByteArray, nome);
        QFETCH(uint, modo);
        QFETCH(bool, collegamento);
        QFETCH(int, scritto);
        const auto a = VociZip::controlla({nome.toStdString(), mode_t(modo), 0, collegamento});
        QCOMPARE(a ? int(a->modo) : -1, scritto);
        if (a)
            QVERIFY(!a->parti.empty());
    }

    void aPackageUnpacksWithItsContentAndPlainModes()
    {
        QTemporaryDir d;
        ZipProva zip;
        zip.file("A.app/Contents/dati", QByteArray(5000, 'x'), 0100664);
        zip.voce("A.app/halvora", 0100777, "#!/bin/sh\n", true);
        zip.cartella("A.app/Contents");
        zip.cartella("A.app/vuota");
        const QString dentro = d.filePath("dentro");
        QCOMPARE(scompatta(zip, dentro), 0);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(dentro + "/A.app/halvora").constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0755));
        QCOMPARE(::stat(QFile::encodeName(dentro + "/A.app/Contents/dati").constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        QFile f(dentro + "/A.app/halvora");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("#!/bin/sh\n"));
        QVERIFY(QFileInfo(dentro + "/A.app/vuota").isDir());
    }

    void aRefusedPackageStopsAndWritesNothingOutside_data()
    {
        QTest::addColumn<Costruzione>("costruisci");
        QTest::newRow("traversal") << Costruzione([](ZipProva& z) { z.file("A.app/../../fuori", "x"); });
        QTest::newRow("link then file") << Costruzione([](ZipProva& z) {
            z.collegamento("A.app/l", "../..");
            z.file("A.app/l/fuori", "x");
        });
        QTest::newRow("same name twice") << Costruzione([](ZipProva& z) {
            z.file("A.app/x", "primo");
            z.file("A.app/x", "secondo");
        });
        QTest::newRow("file over a folder") << Costruzione([](ZipProva& z) {
            z.file("A.app/x", "primo");
            z.file("A.app/x/y", "secondo");
        });
        QTest::newRow("bomb declared small") << Costruzione([](ZipProva& z) {
            z.voce("A.app/zeri", 0100644, QByteArray(8 << 20, '\0'), true, 100);
        });
        QTest::newRow("bomb declared large") << Costruzione([](ZipProva& z) {
            z.voce("A.app/zeri", 0100644, QByteArray(2 << 20, '\0'), true);
        });
        QTest::newRow("too many entries") << Costruzione([](ZipProva& z) {
            for (int i = 0; i < 51; ++i)
                z.file("A.app/f" + QByteArray::number(i), "x");
        });
        QTest::newRow("not a zip") << Costruzione([](ZipProva&) {});
    }
    void aRefusedPackageStopsAndWritesNothingOutside()
    {
        QFETCH(Costruzione, costruisci);
        QTemporaryDir d;
        ZipProva zip;
        costruisci(zip);
        const QString dentro = d.filePath("a/b/dentro");
        QVERIFY(QDir().mkpath(dentro));
        if (QByteArray(QTest::currentDataTag()) == "not a zip") {
            QFile f(dentro + ".zip");
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("PK\x03\x04 not really") > 0);
            f.close();
            QProcess p;
            p.start(QStringLiteral(HALVORA_SCOMPATTA), {dentro + ".zip", dentro});
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitCode(), 1);
            return;
        }
        QCOMPARE(scompatta(zip, dentro), 1);
        // Nothing beside the package and the folder; inside, at most the bound.
        QDirIterator it(d.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        qint64 totale = 0;
        while (it.hasNext()) {
            const QString p = it.next();
            QVERIFY2(p.startsWith(dentro) || QFileInfo(p).isDir(), qPrintable(p));
            totale += QFileInfo(p).isFile() && !p.endsWith(".zip") ? QFileInfo(p).size() : 0;
        }
        QVERIFY(totale <= 1048576);
    }
};

QTEST_GUILESS_MAIN(TestScompattatore)
#include "tst_Scompattatore.moc"
