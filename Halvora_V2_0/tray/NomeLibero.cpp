#include "NomeLibero.h"

#include "SalvataggioSicuro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Far more than any folder holds; past it the name is given up.
constexpr int kTentativi = 100000;

} // namespace

std::optional<NomeLibero> NomeLibero::riserva(const QString& cartella, const QString& base, const QString& estensione)
{
    const QString pulito = QString(base).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QDir dir(cartella);
    for (int n = 1; n <= kTentativi; ++n) {
        const QString nome = (n == 1 ? pulito : pulito + QLatin1Char('-') + QString::number(n)) + QLatin1Char('.')
                             + estensione;
        const QString percorso = dir.absoluteFilePath(nome);
        // O_EXCL fails on anything at the path, links (dangling ones too) included.
        const int fd = ::open(QFile::encodeName(percorso).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            const QString temporaneo = dir.absoluteFilePath(
                QLatin1Char('.') + nome + QLatin1Char('.')
                + QUuid::createUuid().toString(QUuid::Id128).left(12) + QStringLiteral(".parziale"));
            return NomeLibero(percorso, temporaneo);
        }
        if (errno != EEXIST)
            return std::nullopt; // no folder, no permission: no other name will do
    }
    return std::nullopt;
}

NomeLibero::NomeLibero(QString percorso, QString temporaneo)
    : percorso_(std::move(percorso)), temporaneo_(std::move(temporaneo))
{
}

NomeLibero::NomeLibero(NomeLibero&& altro) noexcept
    : percorso_(std::move(altro.percorso_)), temporaneo_(std::move(altro.temporaneo_)), confermato_(altro.confermato_)
{
    altro.confermato_ = true; // the moved-from object owns nothing
}

NomeLibero::~NomeLibero()
{
    if (confermato_)
        return;
    QFile::remove(temporaneo_);
    QFile::remove(percorso_);
}

bool NomeLibero::scrivi(const QByteArray& dati) const
{
    QFile f(temporaneo_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool scritto = f.write(dati) == dati.size() && f.flush();
    f.close();
    return scritto && f.error() == QFileDevice::NoError;
}

std::optional<QString> NomeLibero::conferma()
{
    if (confermato_)
        return std::nullopt;
    // On disk before the name points at it: a crash or a full disk never
    // leaves an empty file under the name.
    const int fd = ::open(QFile::encodeName(temporaneo_).constData(), O_RDONLY | O_CLOEXEC);
    const bool sincronizzato = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!sincronizzato)
        return std::nullopt;
    // rename(2) swaps the content in at once: nobody sees a half-written file under the name.
    if (::rename(QFile::encodeName(temporaneo_).constData(), QFile::encodeName(percorso_).constData()) != 0)
        return std::nullopt;
    confermato_ = true;
    SalvataggioSicuro::sincronizzaCartella(QFileInfo(percorso_).path());
    return percorso_;
}
