#include "FakeScreens.h"
#include "NotchGeometry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace NotchGeometry;

class TestNotchGeometry : public QObject {
    Q_OBJECT

private slots:
    void unnotchedScreen_data()
    {
        QTest::addColumn<double>("barra");
        QTest::addColumn<QSizeF>("misura");
        QTest::newRow("24-point bar") << 24.0 << QSizeF(180, 32);
        QTest::newRow("37-point bar") << 37.0 << QSizeF(180, 37);
        QTest::newRow("no bar") << 0.0 << QSizeF(180, 32);
    }
    void unnotchedScreen()
    {
        QFETCH(double, barra);
        QFETCH(QSizeF, misura);
        const ScreenInfo s = FakeScreens::senzaTacca(QRectF(0, 0, 1920, 1080), barra);
        QVERIFY(!s.haTacca());
        QCOMPARE(notchRect(s), misura);
        QCOMPARE(centroTacca(s), 960.0);
    }

    void notchedScreen()
    {
        const ScreenInfo s = FakeScreens::conTacca(QRectF(0, 0, 1512, 982), 600, 32, 32);
        QVERIFY(s.haTacca());
        QCOMPARE(notchRect(s), QSizeF(308, 30.5));
        QCOMPARE(centroTacca(s), 756.0);
    }

    void notchedScreenUsesTheTallerOfInsetAndArea()
    {
        const ScreenInfo s = FakeScreens::conTacca(QRectF(0, 0, 1512, 982), 600, 32, 38);
        QCOMPARE(notchRect(s).height(), 36.5);
    }

    void notchCentreOfAShiftedAsymmetricScreen()
    {
        ScreenInfo s = FakeScreens::conTacca(QRectF(1000, 0, 1512, 982), 600, 32, 32);
        s.areaSuperioreDestra->setWidth(500); // notch 412 wide from x 1600 to 2012
        QCOMPARE(centroTacca(s), 1806.0);
    }

    void locations_data()
    {
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<bool>("cattiva");
        QTest::addColumn<bool>("temporanea");
        QTest::addColumn<bool>("inApplicazioni");
        QTest::newRow("volume") << "/Volumes/Halvora/Halvora V2.0.app" << true << true << false;
        QTest::newRow("applications") << "/Applications/Halvora V2.0.app" << false << false << true;
        QTest::newRow("user applications") << "/home/ada/Applications/Halvora V2.0.app" << false << false << true;
        QTest::newRow("downloads") << "/home/ada/Downloads/Halvora V2.0.app" << false << false << false;
        QTest::newRow("foreign translocation")
            << "/private/var/folders/x/AppTranslocation/ABC/d/Halvora V2.0.app" << true << true << false;
        QTest::newRow("applications prefix only") << "/ApplicationsX/Halvora V2.0.app" << false << false << false;
    }
    void locations()
    {
        QFETCH(QString, bundle);
        QFETCH(bool, cattiva);
        QFETCH(bool, temporanea);
        QFETCH(bool, inApplicazioni);
        const Posizione p{bundle, bundle + "/Contents/MacOS/Halvora V2.0", "/home/ada"};
        QCOMPARE(isRunningFromBadLocation(p), cattiva);
        QCOMPARE(isRunningFromTemporaryLocation(p), temporanea);
        QCOMPARE(isInApplications(p), inApplicazioni);
    }

    void theRealHomesApplicationsFolderCounts()
    {
        // The user database may put the home folder elsewhere than $HOME says.
        const Posizione p{"/srv/ada/Applications/Halvora.app", "/srv/ada/Applications/Halvora.app/halvora",
                          "/home/ada", "/srv/ada/Applications"};
        QVERIFY(isInApplications(p));
    }

    void linkedFoldersCountAsInstalled_data()
    {
        QTest::addColumn<QString>("collegamento"); // a symbolic link: its path, to its target
        QTest::addColumn<QString>("bundle");       // where the running bundle really lies
        QTest::addColumn<bool>("inApplicazioni");
        QTest::newRow("linked Applications") << "home/u/Applications>apps-real" << "home/u/apps-real/Halvora.app" << true;
        QTest::newRow("linked home") << "home/u>../data/u" << "data/u/Applications/Halvora.app" << true;
        QTest::newRow("linked home, nothing installed yet") << "home/u>../data/u" << "data/u/Scaricati/Halvora.app" << false;
    }
    void linkedFoldersCountAsInstalled()
    {
        QFETCH(QString, collegamento);
        QFETCH(QString, bundle);
        QFETCH(bool, inApplicazioni);
        QTemporaryDir d;
        const QString radice = QFileInfo(d.path()).canonicalFilePath() + '/';
        const QStringList l = collegamento.split('>');
        QVERIFY(QDir().mkpath(radice + bundle) && QDir().mkpath(QFileInfo(radice + l[0]).path()));
        QVERIFY(QFile::link(l[1], radice + l[0]));
        // The bundle as the system gives it, the rest as the user database and HOME say.
        const Posizione p = Posizione{radice + bundle, radice + bundle + "/halvora", radice + "home/u",
                                      radice + "home/u/Applications"}.risolta();
        QCOMPARE(isInApplications(p), inApplicazioni);
        // The installation and the update aim at the running copy itself, or
        // at the real folder where the installed copy will lie.
        const QString atteso = inApplicazioni ? radice + bundle : radice + "data/u/Applications/Halvora.app";
        QCOMPARE(p.destinazione(), atteso);
    }

    void unreadableTranslocatedCopyIsNotFromApplications()
    {
        const Posizione p{"/nonexistent/AppTranslocation/X/Halvora V2.0.app",
                          "/nonexistent/AppTranslocation/X/Halvora V2.0.app/Contents/MacOS/Halvora V2.0", "/home/ada"};
        QVERIFY(!isTranslocatedFromApplications(p));
        QVERIFY(isRunningFromBadLocation(p));
    }

    void translocationComparesFileNumberAndSize()
    {
        QTemporaryDir d;
        const QString installata = d.filePath("Applications/Halvora V2.0.app/Contents/MacOS");
        const QString traslocata = d.filePath("AppTranslocation/ABC/d/Halvora V2.0.app/Contents/MacOS");
        QVERIFY(QDir().mkpath(installata) && QDir().mkpath(traslocata));
        QFile f(installata + "/Halvora V2.0");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("binario");
        f.close();
        Posizione p;
        p.bundle = d.filePath("AppTranslocation/ABC/d/Halvora V2.0.app");
        p.eseguibile = traslocata + "/Halvora V2.0";
        p.applicazioni = d.filePath("Applications");

        // The system's translocated image shares the installed file's number.
        QVERIFY(::link(QFile::encodeName(f.fileName()).constData(), QFile::encodeName(p.eseguibile).constData()) == 0);
        QVERIFY(isTranslocatedFromApplications(p));
        QVERIFY(!isRunningFromBadLocation(p));
        QVERIFY(isRunningFromTemporaryLocation(p));

        // A different copy of the same size is someone else's.
        QVERIFY(QFile::remove(p.eseguibile));
        QVERIFY(QFile::copy(f.fileName(), p.eseguibile));
        QVERIFY(!isTranslocatedFromApplications(p));
        QVERIFY(isRunningFromBadLocation(p));
    }
};

QTEST_GUILESS_MAIN(TestNotchGeometry)
#include "tst_NotchGeometry.moc"
