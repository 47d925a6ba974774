#include "ControlloBrowserLinux.h"
#include "Processi.h"
#include "ScritturaSessioneChromium.h"
#include "SessioneChromium.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QByteArray kVideo = "https://www.youtube.com/watch?v=dQw4w9WgXcQ";
}

class TestSessioneChromium : public QObject {
    Q_OBJECT

private slots:
    void tabsOfASession()
    {
        ScritturaSessioneChromium s;
        // Window 7: three tabs written out of order, the third selected; tab 12 navigated twice, back to the first page.
        s.finestraDellaScheda(7, 11);
        s.finestraDellaScheda(7, 12);
        s.finestraDellaScheda(7, 13);
        s.posizione(11, 2);
        s.posizione(12, 0);
        s.posizione(13, 1);
        s.navigazione(11, 0, kVideo, QStringLiteral("(2) Canzone è — YouTube"));
        s.navigazione(12, 0, "https://example.org/", QStringLiteral("Primo"));
        s.navigazione(12, 1, "https://example.org/dopo", QStringLiteral("Dopo"));
        s.navigazioneScelta(12, 0);
        s.navigazione(13, 0, "chrome://settings", QStringLiteral("Impostazioni"));
        s.schedaScelta(7, 2);
        // Window 9: one tab closed, one left; window 5 closed with its tab.
        s.finestraDellaScheda(9, 21);
        s.finestraDellaScheda(9, 22);
        s.navigazione(21, 0, "https://a.example/", QStringLiteral("A"));
        s.navigazione(22, 0, "http://b.example/", QStringLiteral("B"));
        s.schedaChiusa(21);
        s.finestraDellaScheda(5, 31);
        s.navigazione(31, 0, "https://c.example/", QStringLiteral("C"));
        s.finestraChiusa(5);
        // A command the reader does not know, and a record cut short at the end.
        s.comando(99, "ignored");
        QByteArray dati = s.dati() + QByteArray::fromHex("ff00");
        const auto schede = SessioneChromium::leggiDati(dati);
        QVERIFY(schede);
        const QList<SchedaBrowser> attese{
            {1, 1, false, "https://example.org/", "Primo"},
            {1, 3, true, QString::fromLatin1(kVideo), QStringLiteral("(2) Canzone è — YouTube")},
            {2, 1, false, "http://b.example/", "B"},
        };
        QCOMPARE(*schede, attese);
    }

    void prunedNavigationsMoveDown()
    {
        ScritturaSessioneChromium s;
        s.finestraDellaScheda(1, 2);
        for (int i = 0; i < 4; ++i)
            s.navigazione(2, i, "https://x.example/" + QByteArray::number(i), QString::number(i));
        s.potatura(2, 0, 2); // the first two go; 2 and 3 become 0 and 1
        s.navigazioneScelta(2, 1);
        QCOMPARE(SessioneChromium::leggiDati(s.dati())->value(0).titolo, QStringLiteral("3"));
    }

    void notASession()
    {
        QVERIFY(!SessioneChromium::leggiDati("SNSX\1\0\0\0"));
        QVERIFY(!SessioneChromium::leggiDati(QByteArray("SNSS") + QByteArray::fromHex("02000000")));
        QVERIFY(!SessioneChromium::leggi(QStringLiteral("/nonexistent/Session")));
        // A navigation whose text runs past its record is skipped, the rest read.
        ScritturaSessioneChromium s;
        s.finestraDellaScheda(1, 2);
        s.comando(6, QByteArray::fromHex("10000000" "02000000" "00000000" "ffffff7f"));
        s.navigazione(2, 1, "https://ok.example/", QStringLiteral("ok"));
        QCOMPARE(SessioneChromium::leggiDati(s.dati())->size(), 1);
    }

    void newestSessionOfTheProfile()
    {
        QTemporaryDir dati;
        QDir(dati.path()).mkpath("Default/Sessions");
        QDir(dati.path()).mkpath("Profile 1/Sessions");
        const QString vecchio = dati.filePath("Default/Sessions/Session_1"), nuovo = dati.filePath("Profile 1/Sessions/Session_2");
        ScritturaSessioneChromium().salva(vecchio);
        ScritturaSessioneChromium().salva(nuovo);
        QFile f(vecchio);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
        f.close();
        QCOMPARE(SessioneChromium::fileCorrente(dati.path()), nuovo);
        QCOMPARE(SessioneChromium::fileCorrente(dati.path(), "Default"), vecchio);
        QCOMPARE(SessioneChromium::fileCorrente(dati.filePath("none")), QString());
    }

    void foldersFromTheCommandLine_data()
    {
        QTest::addColumn<QByteArray>("riga");
        QTest::addColumn<QString>("cartella");
        QTest::addColumn<QString>("profilo");
        QFile catturata(QStringLiteral(HALVORA_DATI_CHROMIUM "/cmdline"));
        QVERIFY(catturata.open(QIODevice::ReadOnly));
        QTest::newRow("joined by spaces, as Chromium leaves it") << catturata.readAll() << "/tmp/chromium-prova" << "Prova";
        QTest::newRow("one argument each") << QByteArrayLiteral("/opt/google/chrome/chrome\0--user-data-dir=/tmp/u\0"
                                                                "--profile-directory\0Profile 1\0")
                                           << "/tmp/u" << "Profile 1";
        QTest::newRow("renamed, NULs left over") << QByteArrayLiteral("chrome --user-data-dir=/tmp/v\0\0\0") << "/tmp/v" << "";
        QTest::newRow("a profile out of the folder") << QByteArrayLiteral("chrome\0--profile-directory=../../etc\0") << ""
                                                     << "";
    }
    void foldersFromTheCommandLine()
    {
        QFETCH(QByteArray, riga);
        QFETCH(QString, cartella);
        QFETCH(QString, profilo);
        const auto [c, p] = SessioneChromium::cartelleDaArgomenti(Processi::argomentiDaRiga(riga));
        QCOMPARE(c, cartella);
        QCOMPARE(p, profilo);
    }

    void windowTitlesMarkTheActiveTabs()
    {
        QList<SchedaBrowser> schede{{1, 1, true, "https://a/", "Song - YouTube"}, {1, 2, false, "https://b/", "Other"},
                                    {2, 1, false, "https://c/", "Third"}};
        ControlloBrowserLinux::segnaAttive(schede, {});
        QVERIFY(schede[0].attiva && !schede[1].attiva);
        ControlloBrowserLinux::segnaAttive(schede, {"Other - Google Chrome", "Third"});
        QVERIFY(!schede[0].attiva && schede[1].attiva && schede[2].attiva);
    }

    void untitledTabsTakeWhatTheBrowserShows_data()
    {
        QTest::addColumn<QList<SchedaBrowser>>("schede");
        QTest::addColumn<QStringList>("finestre");
        QTest::addColumn<QString>("player");
        QTest::addColumn<QStringList>("titoli");
        const SchedaBrowser senza{1, 1, true, "https://v/", ""}, nominata{1, 2, false, "https://n/", "Named"},
            altraSenza{2, 1, true, "https://w/", ""};
        QTest::newRow("the window showing what plays") << QList{senza, nominata}
                                                       << QStringList{"New Tab - Chromium", "Song - YouTube - Chromium"}
                                                       << "Song" << QStringList{"Song - YouTube", "Named"};
        QTest::newRow("what plays, in no window") << QList{nominata, SchedaBrowser{1, 3, false, "https://v/", ""}}
                                                  << QStringList{"Named - Chromium"} << "Song"
                                                  << QStringList{"Named", "Song"};
        QTest::newRow("what plays is a named tab") << QList{nominata, senza} << QStringList{"Other - Chromium", "X - Chromium"}
                                                   << "Named" << QStringList{"Named", ""};
        QTest::newRow("two untitled, two windows") << QList{senza, altraSenza} << QStringList{"A - Chromium", "B - Chromium"}
                                                   << "C" << QStringList{"", ""};
    }
    void untitledTabsTakeWhatTheBrowserShows()
    {
        QFETCH(QList<SchedaBrowser>, schede);
        QFETCH(QStringList, finestre);
        QFETCH(QString, player);
        QFETCH(QStringList, titoli);
        ControlloBrowserLinux::segnaAttive(schede, finestre, player);
        QStringList t;
        for (const SchedaBrowser& s : schede)
            t << s.titolo;
        QCOMPARE(t, titoli);
    }
};

QTEST_GUILESS_MAIN(TestSessioneChromium)
#include "tst_SessioneChromium.moc"
