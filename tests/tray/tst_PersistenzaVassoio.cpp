#include "PersistenzaVassoio.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace PersistenzaVassoio;

namespace {
QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void scrivi(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}
QByteArray letturaLink(const QString& percorso)
{
    char buf[4096];
    const ssize_t n = ::readlink(QFile::encodeName(percorso).constData(), buf, sizeof buf);
    return n < 0 ? QByteArray() : QByteArray(buf, n);
}
// Every entry of the tray, hidden ones included, relative to it.
QStringList contenuto(const QString& tray)
{
    QStringList voci;
    QDir d(tray);
    for (const QString& v : d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        voci << v;
    return voci;
}
const QString kUuid = QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
} // namespace

class TestPersistenzaVassoio : public QObject {
    Q_OBJECT
    QTemporaryDir radice;
    QString tray;
    int numero = 0;

private slots:
    void init()
    {
        tray = radice.filePath(QStringLiteral("Tray-%1").arg(++numero));
        QVERIFY(QDir().mkpath(tray));
    }

    void webURL_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("https") << "https://example.com/a" << "https://example.com/a";
        QTest::newRow("trimmed") << "  http://x.org/\n" << "http://x.org/";
        QTest::newRow("upper-case scheme") << "HTTPS://example.com" << "https://example.com";
        QTest::newRow("space in path") << "https://example.com/a b" << "https://example.com/a b";
        QTest::newRow("space in host") << "https://exa mple.com/" << "";
        QTest::newRow("mail") << "mailto:a@b.it" << "";
        QTest::newRow("ftp") << "ftp://x.org/f" << "";
        QTest::newRow("no host") << "https:///percorso" << "";
        QTest::newRow("plain words") << "comprare il latte" << "";
        QTest::newRow("empty") << "" << "";
    }
    void webURL()
    {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        const auto u = PersistenzaVassoio::webURL(testo);
        QCOMPARE(u ? u->toString() : QString(), atteso);
    }

    void nomeTesto_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("separators") << "Lista: cose/da\\fare\nlatte" << "Lista- cose-da-fare";
        QTest::newRow("crlf") << "Prima\r\nseconda" << "Prima";
        QTest::newRow("only slashes") << "///" << "---";
        QTest::newRow("long") << QString(50, QLatin1Char('a')) << QString(40, QLatin1Char('a'));
        QTest::newRow("graphemes") << QString(45, QChar(0x00E8)).normalized(QString::NormalizationForm_D)
                                   << QString(40, QChar(0x00E8)).normalized(QString::NormalizationForm_D);
        QTest::newRow("empty") << "" << "Testo";
    }
    void nomeTesto()
    {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(PersistenzaVassoio::nomeTesto(testo), atteso);
    }

    void nomeSicuro_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("parent") << "../x" << "x";
        QTest::newRow("absolute") << "/etc/x" << "x";
        QTest::newRow("trailing slash") << "cartella/" << "cartella";
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b") << "a-b";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("dot") << "." << "";
        QTest::newRow("dot dot") << ".." << "";
        QTest::newRow("only slashes") << "//" << "";
    }
    void nomeSicuro()
    {
        QFETCH(QString, nome);
        QFETCH(QString, atteso);
        QCOMPARE(PersistenzaVassoio::nomeSicuro(nome), atteso);
    }

    void aLinkTwiceGetsTwoNamesAndThePlistBytes()
    {
        const QUrl link(QStringLiteral("https://example.com/a?b=1&c=<2>"));
        const auto primo = persistWebLink(link, tray);
        const auto secondo = persistWebLink(link, tray);
        QVERIFY(primo && secondo);
        QCOMPARE(*primo, tray + QStringLiteral("/example.com.webloc"));
        QVERIFY(QRegularExpression(QStringLiteral("^example\\.com-[0-9A-F]{4}\\.webloc$"))
                    .match(QFileInfo(*secondo).fileName())
                    .hasMatch());
        const QByteArray atteso = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n<dict>\n\t<key>URL</key>\n"
                                  "\t<string>https://example.com/a?b=1&amp;c=%3C2%3E</string>\n"
                                  "</dict>\n</plist>\n";
        QCOMPARE(leggi(*primo), atteso);
        QCOMPARE(leggi(*secondo), atteso);
        QCOMPARE(contenuto(tray).size(), 2); // no temporary left behind
    }

    void aLinkNeverReplacesAFileThere()
    {
        scrivi(tray + QStringLiteral("/example.com.webloc"), "mio");
        const auto nuovo = persistWebLink(QUrl(QStringLiteral("https://example.com")), tray);
        QVERIFY(nuovo);
        QVERIFY(*nuovo != tray + QStringLiteral("/example.com.webloc"));
        QCOMPARE(leggi(tray + QStringLiteral("/example.com.webloc")), QByteArray("mio"));
    }

    void onlyWebLinksAreWritten()
    {
        QVERIFY(!persistWebLink(QUrl(QStringLiteral("mailto:a@b.it")), tray));
        QVERIFY(!persistWebLink(QUrl(QStringLiteral("file:///etc/passwd")), tray));
        QVERIFY(contenuto(tray).isEmpty());
    }

    void aFileIsCopiedIntoItsOwnFolder()
    {
        const QString sorgente = radice.filePath(QStringLiteral("Report.pdf"));
        scrivi(sorgente, "%PDF-1.4 contenuto");
        const auto a = persistFileURL(QUrl::fromLocalFile(sorgente), tray);
        const auto b = persistFileURL(QUrl::fromLocalFile(sorgente), tray);
        QVERIFY(a && b && *a != *b);
        const QRegularExpression forma(QStringLiteral("^") + QRegularExpression::escape(tray) + QLatin1Char('/') + kUuid
                                       + QStringLiteral("/Report\\.pdf$"));
        QVERIFY2(forma.match(*a).hasMatch(), qPrintable(*a));
        QVERIFY(forma.match(*b).hasMatch());
        QCOMPARE(leggi(*a), QByteArray("%PDF-1.4 contenuto"));
        QCOMPARE(contenuto(tray).size(), 2);
    }

    // A sparse file of 2 GiB holding three words takes the room of three
    // words in the tray too, and reads the same.
    void aSparseFileStaysSparse()
    {
        const QString sorgente = radice.filePath(QStringLiteral("disco.img"));
        const qint64 misura = qint64(2) << 30;
        {
            QFile f(sorgente);
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (const auto& [dove, parola] : {std::pair{qint64(0), "inizio"}, {misura / 2, "mezzo"}, {misura - 4, "fine"}})
                QVERIFY(f.seek(dove) && f.write(parola) > 0);
        }
        const auto copia = persistFileURL(QUrl::fromLocalFile(sorgente), tray);
        QVERIFY(copia);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(*copia).constData(), &st), 0);
        QCOMPARE(qint64(st.st_size), misura);
        QCOMPARE_LT(qint64(st.st_blocks) * 512, qint64(1) << 20);
        QFile letta(*copia);
        QVERIFY(letta.open(QIODevice::ReadOnly));
        QCOMPARE(letta.read(6), "inizio");
        QVERIFY(letta.seek(misura / 2 - 2));
        QCOMPARE(letta.read(7), QByteArray("\0\0mezzo", 7));
        QVERIFY(letta.seek(misura - 4));
        QCOMPARE(letta.read(4), "fine");
    }

    void aFolderKeepsItsLinksAsLinks()
    {
        const QString fuori = radice.filePath(QStringLiteral("segreto.txt"));
        scrivi(fuori, "fuori");
        const QString cartella = radice.filePath(QStringLiteral("Progetto"));
        QVERIFY(QDir().mkpath(cartella + QStringLiteral("/sotto")));
        scrivi(cartella + QStringLiteral("/sotto/a.txt"), "a");
        QVERIFY(::symlink("../../segreto.txt", QFile::encodeName(cartella + QStringLiteral("/sotto/esterno")).constData()) == 0);
        QVERIFY(::symlink("..", QFile::encodeName(cartella + QStringLiteral("/sotto/su")).constData()) == 0);
        QVERIFY(::symlink("giro", QFile::encodeName(cartella + QStringLiteral("/giro")).constData()) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(cartella + QStringLiteral("/tubo")).constData(), 0600) == 0);

        const auto copia = persistFileURL(QUrl::fromLocalFile(cartella), tray);
        QVERIFY(copia);
        QCOMPARE(QFileInfo(*copia).fileName(), QStringLiteral("Progetto"));
        QCOMPARE(leggi(*copia + QStringLiteral("/sotto/a.txt")), QByteArray("a"));
        QCOMPARE(letturaLink(*copia + QStringLiteral("/sotto/esterno")), QByteArray("../../segreto.txt"));
        QCOMPARE(letturaLink(*copia + QStringLiteral("/sotto/su")), QByteArray(".."));
        QCOMPARE(letturaLink(*copia + QStringLiteral("/giro")), QByteArray("giro"));
        QVERIFY(!QFileInfo::exists(*copia + QStringLiteral("/tubo")));
    }

    void aFolderHoldingTheTrayIsRefused()
    {
        const auto copia = persistFileURL(QUrl::fromLocalFile(radice.path()), tray);
        QVERIFY(!copia);
        QVERIFY(contenuto(tray).isEmpty());
    }

    void aFailedCopyLeavesNothing()
    {
        // A folder whose deepest entry fits here but not under the longer
        // tray path: the copy fails after it has begun.
        const QString profonda = radice.filePath(QStringLiteral("Profonda"));
        QString percorso = profonda;
        QVERIFY(QDir().mkpath(percorso));
        scrivi(percorso + QStringLiteral("/a.txt"), "a");
        while (percorso.size() < 4070) {
            percorso += QLatin1Char('/') + QString(qMin(200, 4070 - int(percorso.size()) - 1), QLatin1Char('z'));
            QVERIFY(QDir().mkdir(percorso));
        }
        scrivi(percorso + QStringLiteral("/f"), "fondo");
        QVERIFY(!persistFileURL(QUrl::fromLocalFile(profonda), tray));

        const QString tubo = radice.filePath(QStringLiteral("tubo"));
        QVERIFY(::mkfifo(QFile::encodeName(tubo).constData(), 0600) == 0);
        QVERIFY(!persistFileURL(QUrl::fromLocalFile(tubo), tray));
        QVERIFY(!persistFileURL(QUrl::fromLocalFile(radice.filePath(QStringLiteral("manca.pdf"))), tray));
        QVERIFY(!persistFileURL(QUrl(QStringLiteral("https://example.com/a.pdf")), tray));
        QVERIFY(contenuto(tray).isEmpty());
    }

    void aRepresentationTakesItsName_data()
    {
        QTest::addColumn<QString>("temporaneo");
        QTest::addColumn<QString>("suggerito");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("extension added") << "x.rtf" << "Nota" << "Nota.rtf";
        QTest::newRow("own extension kept") << "x.rtf" << "Nota.md" << "Nota.md";
        QTest::newRow("no suggestion") << "Foto.heic" << "" << "Foto.heic";
        QTest::newRow("parent") << "x.rtf" << "../x" << "x.rtf";
        QTest::newRow("absolute") << "x.rtf" << "/etc/x" << "x.rtf";
        QTest::newRow("dot") << "y.rtf" << "." << "y.rtf";
        QTest::newRow("dot dot") << "y.rtf" << ".." << "y.rtf";
    }
    void aRepresentationTakesItsName()
    {
        QFETCH(QString, temporaneo);
        QFETCH(QString, suggerito);
        QFETCH(QString, atteso);
        QTemporaryDir tmp;
        scrivi(tmp.filePath(temporaneo), "dati");
        const auto copia = persistRappresentazione(tmp.filePath(temporaneo), suggerito, tray);
        QVERIFY(copia);
        QCOMPARE(QFileInfo(*copia).fileName(), atteso);
        QCOMPARE(QFileInfo(QFileInfo(*copia).path()).path(), tray);
        QCOMPARE(leggi(*copia), QByteArray("dati"));
    }

    void anImageBecomesPng()
    {
        QImage rossa(4, 3, QImage::Format_RGB32);
        rossa.fill(Qt::red);
        const auto png = persistImage(rossa, tray);
        QVERIFY(png);
        QVERIFY(QRegularExpression(QStringLiteral("^") + kUuid + QStringLiteral("_image\\.png$"))
                    .match(QFileInfo(*png).fileName())
                    .hasMatch());
        QCOMPARE(QFileInfo(*png).path(), tray);
        QVERIFY(leggi(*png).startsWith("\x89PNG"));
        QCOMPARE(QImage(*png).size(), QSize(4, 3));
        QVERIFY(!persistImage(QImage(), tray));
    }

    void aTextIsTrimmedAndNamedByItsFirstLine()
    {
        const auto file = persistTesto(QStringLiteral("\n  Lista: cose/da\\fare\nlatte\npane  \n"), tray);
        QVERIFY(file);
        QCOMPARE(QFileInfo(*file).fileName(), QStringLiteral("Lista- cose-da-fare.txt"));
        QVERIFY(QRegularExpression(QStringLiteral("/") + kUuid + QStringLiteral("$")).match(QFileInfo(*file).path()).hasMatch());
        QCOMPARE(leggi(*file), QByteArray("Lista: cose/da\\fare\nlatte\npane"));
        QVERIFY(!persistTesto(QStringLiteral(" \n\t\n "), tray));
        QCOMPARE(contenuto(tray).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestPersistenzaVassoio)
#include "tst_PersistenzaVassoio.moc"
