#include "LettoreCodex.h"

#include "AnalisiRigaCodex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

bool eLog(const QString& nome)
{
    return nome.endsWith(QLatin1String(".jsonl"));
}

} // namespace

QString LettoreCodex::radicePredefinita()
{
    return cartellaCasaReale() + QStringLiteral("/.codex/sessions");
}

LettoreCodex::LettoreCodex(Orologio ora, QString radice)
    : ora_(std::move(ora)), radice_(QDir::cleanPath(radice)), ultimaScansione_(passatoRemoto())
{
}

void LettoreCodex::dimentica()
{
    fileNoti_.clear();
    ultimaScansione_ = passatoRemoto();
    ultimaModificaLetta_.reset();
}

std::optional<LetturaUsoIA> LettoreCodex::leggiUso()
{
    const QDateTime adesso = ora_();
    const double eta = ultimaScansione_.msecsTo(adesso) / 1000.0;
    if (eta > (fileNoti_.isEmpty() ? kRiscansioneVuota : kRiscansione)) {
        fileNoti_ = fileRecenti();
        ultimaScansione_ = adesso;
        ultimaModificaLetta_.reset();
    }
    QSet<QString> candidati(fileNoti_.begin(), fileNoti_.end());
    for (const QString& f : fileDelGiorno(adesso, 0) + fileDelGiorno(adesso, 1))
        candidati.insert(f);
    auto datati = dateDiModifica(QStringList(candidati.begin(), candidati.end()));
    // Newest first; the path breaks ties so that the order is repeatable.
    std::sort(datati.begin(), datati.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (datati.size() > static_cast<size_t>(kFileRecenti))
        datati.resize(kFileRecenti);
    fileNoti_.clear();
    for (const auto& d : datati)
        fileNoti_.append(d.first);
    if (datati.empty() || ultimaModificaLetta_ == datati.front().second)
        return std::nullopt;
    ultimaModificaLetta_ = datati.front().second;

    std::optional<LetturaUsoIA> migliore;
    for (const auto& [file, modifica] : datati) {
        // Snapshots are stamped before the file's last write: an older
        // file cannot hold a newer one.
        if (migliore && modifica <= migliore->scrittaIl)
            break;
        auto lettura = leggiFile(file, modifica);
        if (lettura && lettura->scrittaIl > (migliore ? migliore->scrittaIl : passatoRemoto()))
            migliore = lettura;
    }
    return migliore;
}

QStringList LettoreCodex::fileRecenti() const
{
    std::vector<std::pair<QString, QDateTime>> trovati;
    QDirIterator it(radice_, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (eLog(info.fileName()) && info.isFile() && info.lastModified().isValid())
            trovati.emplace_back(info.filePath(), info.lastModified());
    }
    const auto n = std::min<size_t>(trovati.size(), kFileRecenti);
    std::partial_sort(trovati.begin(), trovati.begin() + static_cast<std::ptrdiff_t>(n), trovati.end(),
                      [](const auto& a, const auto& b) { return a.second > b.second; });
    QStringList risultato;
    for (size_t i = 0; i < n; ++i)
        risultato.append(trovati[i].first);
    return risultato;
}

QStringList LettoreCodex::fileDelGiorno(const QDateTime& adesso, int giorniFa) const
{
    const QDate giorno = adesso.toLocalTime().date().addDays(-giorniFa);
    if (!giorno.isValid())
        return {};
    const QString cartella = radice_ + QLatin1Char('/')
                             + QString::asprintf("%04d/%02d/%02d", giorno.year(), giorno.month(), giorno.day());
    QStringList risultato;
    const QDir dir(cartella);
    for (const QString& nome : dir.entryList(QDir::Files | QDir::Hidden, QDir::NoSort))
        if (eLog(nome))
            risultato.append(cartella + QLatin1Char('/') + nome);
    return risultato;
}

std::optional<LetturaUsoIA> LettoreCodex::leggiFile(const QString& file, const QDateTime& modifica)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    ++fileAperti_;
    const qint64 dimensione = f.size();
    if (dimensione <= 0 || !f.seek(std::max<qint64>(0, dimensione - kCoda)))
        return std::nullopt;
    const QByteArray coda = f.read(kCoda);
    if (coda.isEmpty())
        return std::nullopt;
    return RigaCodex::analizzaCoda(coda, dimensione > kCoda, modifica);
}
