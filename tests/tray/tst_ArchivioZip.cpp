#include "ArchivioZip.h"
#include "Interruzione.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <memory>
#include <sys/stat.h>

namespace {

QString scrivi(const QString& percorso, const QByteArray& dati)
{
    QDir().mkpath(QFileInfo(percorso).path());
    QFile f(percorso);
    if (f.open(QIODevice::WriteOnly))
        f.write(dati);
    return percorso;
}

// name -> "f:<content>", "d" or "l:<target>", as libarchive reads the archive back.
QMap<QString, QString> elenco(const QString& zip)
{
    QMap<QString, QString> r;
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    if (archive_read_open_filename(a.get(), QFile::encodeName(zip).constData(), 10240) != ARCHIVE_OK)
        return r;
    archive_entry* e = nullptr;
    for (int esito; (esito = archive_read_next_header(a.get(), &e)) == ARCHIVE_OK || esito == ARCHIVE_WARN;) {
        const QString nome = QString::fromUtf8(archive_entry_pathname(e));
        if (archive_entry_filetype(e) == AE_IFDIR) {
            r[nome] = QStringLiteral("d");
        } else if (archive_entry_filetype(e) == AE_IFLNK) {
            r[nome] = QStringLiteral("l:") + QString::fromUtf8(archive_entry_symlink_utf8(e));
        } else {
            QByteArray dati(int(archive_entry_size(e)), '\0');
            archive_read_data(a.get(), dati.data(), size_t(dati.size()));
            r[nome] = QStringLiteral("f:") + QString::fromUtf8(dati);
        }
    }
    return r;
}

bool vuota(const QString& cartella)
{
    return QDir(cartella).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestArchivioZip : public QObject {
    Q_OBJECT
    QTemporaryDir d;
    Interruzione mai;

private slots:
    void contenuto()
    {
        // libarchive hands names over in the locale's encoding.
        setlocale(LC_CTYPE, "C.UTF-8");
        const QString a = scrivi(d.filePath(QStringLiteral("uno/città è.txt")), "primo");
        const QString doppio = scrivi(d.filePath(QStringLiteral("due/città è.txt")), "secondo");
        const QString cartella = d.filePath(QStringLiteral("Foto"));
        scrivi(cartella + QStringLiteral("/sotto/b.txt"), "bi");
        QVERIFY(QFile::link(QStringLiteral("sotto/b.txt"), cartella + QStringLiteral("/collegamento")));
        QVERIFY(QFile::link(QStringLiteral("/non/esiste"), cartella + QStringLiteral("/appeso")));
        QCOMPARE(::mkfifo(QFile::encodeName(cartella + QStringLiteral("/tubo")).constData(), 0600), 0);
        QTemporaryDir uscita;

        const auto zip = ArchivioZip::crea({a, cartella, doppio}, QStringLiteral("Archivio"), uscita.path(), mai);
        QCOMPARE(zip, uscita.filePath(QStringLiteral("Archivio.zip")));
        const QMap<QString, QString> atteso{
            {QStringLiteral("città è.txt"), QStringLiteral("f:primo")},
            {QStringLiteral("Foto/"), QStringLiteral("d")},
            {QStringLiteral("Foto/appeso"), QStringLiteral("l:/non/esiste")},
            {QStringLiteral("Foto/collegamento"), QStringLiteral("l:sotto/b.txt")},
            {QStringLiteral("Foto/sotto/"), QStringLiteral("d")},
            {QStringLiteral("Foto/sotto/b.txt"), QStringLiteral("f:bi")},
        };
        QCOMPARE(elenco(*zip), atteso);
        // The names are marked as UTF-8 (general purpose bit 11) for every unpacker.
        QFile f(*zip);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray intestazione = f.read(8);
        QVERIFY(intestazione.startsWith("PK\x03\x04"));
        QVERIFY(uchar(intestazione[7]) & 0x08);

        QCOMPARE(ArchivioZip::crea({a}, QStringLiteral("Archivio"), uscita.path(), mai),
                 uscita.filePath(QStringLiteral("Archivio-2.zip")));
        QCOMPARE(QDir(uscita.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
    }

    void nienteDaArchiviare()
    {
        QTemporaryDir uscita;
        const QString tubo = d.filePath(QStringLiteral("solo-tubo"));
        QCOMPARE(::mkfifo(QFile::encodeName(tubo).constData(), 0600), 0);
        QVERIFY(!ArchivioZip::crea({}, QStringLiteral("Archivio"), uscita.path(), mai));
        QVERIFY(!ArchivioZip::crea({tubo, d.filePath(QStringLiteral("assente"))}, QStringLiteral("Archivio"), uscita.path(), mai));
        Interruzione alzata;
        alzata.richiedi();
        QVERIFY(!ArchivioZip::crea({scrivi(d.filePath(QStringLiteral("x.txt")), "x")}, QStringLiteral("Archivio"),
                                   uscita.path(), alzata));
        QVERIFY(vuota(uscita.path()));
    }
};

QTEST_APPLESS_MAIN(TestArchivioZip)
#include "tst_ArchivioZip.moc"
