#include "DownloadMonitor.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

DownloadMonitor::DownloadMonitor(Clock& clock, QString cartella, QObject* parent)
    : QObject(parent), clock_(clock), cartella_(std::move(cartella))
{
    if (cartella_.isEmpty())
        return;
    const auto elenco = elencoNomi(cartella_);
    giaVisti_ = elenco.value_or(QSet<QString>{});
    daRiallineare_ = !elenco;
    // Entries created, renamed or removed in the folder wake the watcher.
    if (!sorgente_.addPath(cartella_))
        return;
    connect(&sorgente_, &QFileSystemWatcher::directoryChanged, this, &DownloadMonitor::scheduleRescan);
}

DownloadMonitor::~DownloadMonitor() = default;

QString DownloadMonitor::cartellaPredefinita()
{
    return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

void DownloadMonitor::setUltimoArrivo(std::optional<QUrl> url)
{
    if (url == ultimoArrivo_)
        return;
    ultimoArrivo_ = std::move(url);
    emit ultimoArrivoChanged();
}

bool DownloadMonitor::estensioneSaltata(const QString& nome)
{
    static const QSet<QString> saltate{QStringLiteral("download"), QStringLiteral("crdownload"),
                                       QStringLiteral("part"), QStringLiteral("partial"), QStringLiteral("tmp")};
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    if (punto <= 0)
        return false;
    return saltate.contains(nome.mid(punto + 1).toLower());
}

std::optional<QSet<QString>> DownloadMonitor::elencoNomi(const QString& cartella)
{
    // Without QDir::Hidden the iterator leaves out names starting with a dot.
    QDirIterator it(cartella, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    QSet<QString> nomi;
    int letti = 0;
    while (it.hasNext()) {
        it.next();
        if (++letti > kMassimoNomi)
            return std::nullopt;
        const QString nome = it.fileName();
        if (!estensioneSaltata(nome))
            nomi.insert(nome);
    }
    return nomi;
}

void DownloadMonitor::scheduleRescan()
{
    attesa_ = clock_.singleShot(kAttesa, [this] { rescan(); });
}

void DownloadMonitor::rescan()
{
    const auto elenco = elencoNomi(cartella_);
    if (!elenco) {
        daRiallineare_ = true;
        return;
    }
    QSet<QString> nuovi = *elenco - giaVisti_;
    giaVisti_ = *elenco;
    if (std::exchange(daRiallineare_, false) || nuovi.isEmpty())
        return;
    // One file per rescan: the name that sorts last.
    const QString nome = *std::max_element(nuovi.cbegin(), nuovi.cend());
    setUltimoArrivo(QUrl::fromLocalFile(QDir(cartella_).filePath(nome)));
}
