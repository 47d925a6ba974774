// Every store's save on a small file system that is really full (or
// read-only): the save is refused with a reason, the old content stays
// byte for byte, and nothing half-written is left beside it.
#include "DiscoProva.h"
#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray leggi(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illeggibile>");
}

void scrivi(const QString& percorso, const QByteArray& dati)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(dati), dati.size());
}

// The names in a folder, hidden ones included, but the filler's.
QStringList voci(const QString& cartella)
{
    QStringList v = QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    v.removeAll(QStringLiteral(".riempimento"));
    return v;
}

} // namespace

class TestDiscoPieno : public QObject {
    Q_OBJECT

private slots:
    void aSaveOnAFullDiskKeepsTheOldFile()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("dati.txt"));
        scrivi(file, "contenuto di prima\n");
        disco.riempi();

        const auto errore = SalvataggioSicuro::salva(file, QByteArray(64 * 1024, 'n'));
        QVERIFY(errore);
        QCOMPARE(errore->codice, ENOSPC);
        QCOMPARE(errore->testo(), QStringLiteral("Spazio su disco esaurito."));
        QCOMPARE(leggi(file), QByteArray("contenuto di prima\n"));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});

        // A new file is refused the same way and leaves nothing.
        QVERIFY(SalvataggioSicuro::salvaNuovo(disco.filePath(QStringLiteral("nuovo.txt")), QByteArray(8192, 'n')));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});

        disco.libera();
        QVERIFY(!SalvataggioSicuro::salva(file, "dopo\n"));
        QCOMPARE(leggi(file), QByteArray("dopo\n"));
        QCOMPARE(voci(disco.percorso()), QStringList{"dati.txt"});
    }

    void aSaveKeepsModeAndLinkAndNeverReplacesWhenNew()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("privato.ini"));
        scrivi(file, "a=1\n");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        const QString link = disco.filePath(QStringLiteral("collegamento.ini"));
        QVERIFY(QFile::link(file, link));

        QVERIFY(!SalvataggioSicuro::salva(link, "a=2\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(leggi(file), QByteArray("a=2\n"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);

        const auto preso = SalvataggioSicuro::salvaNuovo(file, "a=3\n");
        QVERIFY(preso);
        QCOMPARE(preso->codice, EEXIST);
        QCOMPARE(leggi(file), QByteArray("a=2\n"));
        QCOMPARE(voci(disco.percorso()), (QStringList{"collegamento.ini", "privato.ini"}));
    }

    void aReadOnlyDiskRefusesWithItsReason()
    {
        DiscoProva disco;
        QVERIFY2(disco.montato(), qPrintable(disco.errore()));
        const QString file = disco.filePath(QStringLiteral("dati.txt"));
        scrivi(file, "prima\n");
        QVERIFY(disco.soloLettura(true));
        const auto errore = SalvataggioSicuro::salva(file, "dopo\n");
        QVERIFY(errore);
        QCOMPARE(errore->codice, EROFS);
        QCOMPARE(leggi(file), QByteArray("prima\n"));
    }
};

int main(int argc, char** argv)
{
    if (!DiscoProva::preparaProcesso())
        qWarning("no mount namespace of our own: the small disks will be refused");
    QCoreApplication app(argc, argv);
    TestDiscoPieno t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_DiscoPieno.moc"
