// Writes through one of the application's stores, as fast as it can, until
// it is killed. Each write is announced on standard output before it starts
// ("inizio ...") and again once the store has reported it saved
// ("salvato ..."), so tst_ScrittureInterrotte knows what may and what must
// be on disk after the kill.
// usage: scrittore_interrotto vassoio|calendario|memo|impostazioni <folder>
#include "ArchivioCalendario.h"
#include "FakeAudio.h"
#include "FakeClock.h"
#include "PersistenzaVassoio.h"
#include "UserDefaults.h"
#include "VoiceManager.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QSaveFile>

#include <unistd.h>

namespace {

void scrivi(const QString& riga)
{
    const QByteArray b = riga.toUtf8() + '\n';
    // One write per line: a kill never leaves half a line behind.
    if (::write(STDOUT_FILENO, b.constData(), size_t(b.size())) != b.size())
        ::_exit(3);
}

QString impronta(const QByteArray& b) { return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex()); }

[[noreturn]] void vassoio(const QString& cartella)
{
    const QString tray = cartella + QStringLiteral("/Tray");
    QDir().mkpath(tray);
    QDir().mkpath(cartella + QStringLiteral("/sorgenti"));
    for (int i = 0;; ++i) {
        std::optional<QString> percorso;
        QByteArray atteso;
        switch (i % 4) {
        case 0: {
            const QString testo = QStringLiteral("  Nota %1\n%2\n").arg(i).arg(QString(4000 + i, QLatin1Char('x')));
            atteso = testo.trimmed().toUtf8();
            scrivi(QStringLiteral("inizio ") + impronta(atteso));
            percorso = PersistenzaVassoio::persistTesto(testo, tray);
            break;
        }
        case 1: {
            const QUrl link(QStringLiteral("https://esempio%1.it/pagina?n=%1").arg(i % 7));
            atteso = PersistenzaVassoio::contenutoWebloc(link.toString(QUrl::FullyEncoded));
            scrivi(QStringLiteral("inizio ") + impronta(atteso));
            percorso = PersistenzaVassoio::persistWebLink(link, tray);
            break;
        }
        case 2: {
            QImage immagine(64 + i % 50, 48, QImage::Format_ARGB32);
            immagine.fill(QColor::fromHsv(i % 360, 200, 200));
            QBuffer b(&atteso);
            b.open(QIODevice::WriteOnly);
            immagine.save(&b, "PNG");
            scrivi(QStringLiteral("inizio ") + impronta(atteso));
            percorso = PersistenzaVassoio::persistImage(immagine, tray);
            break;
        }
        default: {
            atteso = QByteArray(256 * 1024, char('a' + i % 26));
            const QString sorgente = cartella + QStringLiteral("/sorgenti/documento %1.bin").arg(i % 26);
            // Made whole or not at all: an earlier writer may have been
            // killed while making it.
            if (!QFileInfo::exists(sorgente)) {
                QSaveFile f(sorgente);
                if (!f.open(QIODevice::WriteOnly) || f.write(atteso) != atteso.size() || !f.commit())
                    ::_exit(2);
            }
            scrivi(QStringLiteral("inizio ") + impronta(atteso));
            percorso = PersistenzaVassoio::persistFileURL(QUrl::fromLocalFile(sorgente), tray);
        }
        }
        if (percorso)
            scrivi(QStringLiteral("salvato ") + impronta(atteso) + QLatin1Char(' ') + *percorso);
    }
}

[[noreturn]] void calendario(const QString& cartella)
{
    ArchivioCalendario archivio(cartella);
    const QDateTime ora(QDate(2026, 3, 2), QTime(9, 0));
    for (int i = 0;; ++i) {
        const QString titolo = QStringLiteral("Promemoria %1 %2").arg(::getpid()).arg(i);
        scrivi(QStringLiteral("inizio ") + titolo);
        const auto esito = archivio.crea({titolo, ora.addSecs(60 * i), RipetizionePromemoria::mai, 0}, ora);
        if (esito.tipo == EsitoCreazione::Tipo::creato)
            scrivi(QStringLiteral("salvato ") + titolo);
        // Now and then an existing one is moved too, which rewrites the file as well.
        if (i % 5 == 4) {
            const auto aperti = archivio.promemoria(ora.addYears(1)).elementi;
            if (!aperti.isEmpty())
                archivio.rimanda(aperti.first().id, ora.addDays(1));
        }
    }
}

// Renames the memos round and round: memo k is the one whose audio reads "audio k".
[[noreturn]] void memo(const QString& cartella)
{
    FakeClock orologio;
    FakeBackendAudio audio;
    VoiceManager voce(audio, orologio, cartella);
    QHash<int, QString> nomi;
    for (const QFileInfo& f : QDir(voce.memosFolder()).entryInfoList({QStringLiteral("*.m4a")}, QDir::Files)) {
        QFile file(f.absoluteFilePath());
        file.open(QIODevice::ReadOnly);
        nomi.insert(file.readAll().mid(6).toInt(), f.completeBaseName());
    }
    if (nomi.isEmpty())
        ::_exit(2);
    for (int i = 0;; ++i) {
        const int k = nomi.keys().at(i % nomi.size());
        const QString nuovo = QStringLiteral("Memo %1 %2").arg(::getpid()).arg(i);
        scrivi(QStringLiteral("inizio %1 %2").arg(k).arg(nuovo));
        voce.renameMemo(QUrl::fromLocalFile(voce.memosFolder() + QLatin1Char('/') + nomi[k] + QStringLiteral(".m4a")),
                        nuovo);
        if (!QFileInfo::exists(voce.memosFolder() + QLatin1Char('/') + nuovo + QStringLiteral(".m4a")))
            ::_exit(2);
        nomi[k] = nuovo;
        scrivi(QStringLiteral("salvato %1 %2").arg(k).arg(nuovo));
        QCoreApplication::processEvents(); // the listing the rename queued
    }
}

[[noreturn]] void impostazioni(const QString& cartella)
{
    UserDefaults defaults(cartella + QStringLiteral("/Halvora.ini"));
    for (int i = defaults.value(QStringLiteral("contatore"), -1).toInt() + 1;; ++i) {
        scrivi(QStringLiteral("inizio %1").arg(i));
        defaults.setValue(QStringLiteral("chiave%1").arg(i % 10), QStringLiteral("valore %1 ").arg(i) + QString(300, QLatin1Char('v')));
        defaults.setValue(QStringLiteral("contatore"), i);
        defaults.sync();
        scrivi(QStringLiteral("salvato %1").arg(i));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 3)
        return 2;
    if (a[1] == QLatin1String("vassoio"))
        vassoio(a[2]);
    if (a[1] == QLatin1String("calendario"))
        calendario(a[2]);
    if (a[1] == QLatin1String("memo"))
        memo(a[2]);
    if (a[1] == QLatin1String("impostazioni"))
        impostazioni(a[2]);
    return 2;
}
