#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace SalvataggioSicuro {
namespace {

QByteArray locale(const QString& percorso) { return QFile::encodeName(percorso); }

QString cartellaDi(const QString& percorso)
{
    const qsizetype barra = percorso.lastIndexOf(QLatin1Char('/'));
    if (barra < 0)
        return QStringLiteral(".");
    return barra == 0 ? QStringLiteral("/") : percorso.left(barra);
}

// The file a save replaces: the target of a symbolic link, so the link stays.
QString destinazioneReale(const QString& percorso)
{
    struct stat st {};
    if (::lstat(locale(percorso).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return percorso;
    char* reale = ::realpath(locale(percorso).constData(), nullptr);
    if (!reale)
        return percorso; // a dangling link is replaced by the file
    const QString r = QFile::decodeName(reale);
    std::free(reale);
    return r;
}

// The process's umask, read without changing it (umask(2) would, for every thread).
mode_t maschera()
{
    static const mode_t m = [] {
        QFile stato(QStringLiteral("/proc/self/status"));
        if (stato.open(QIODevice::ReadOnly))
            for (const QByteArray& riga : stato.readAll().split('\n'))
                if (riga.startsWith("Umask:"))
                    return mode_t(riga.mid(6).trimmed().toUInt(nullptr, 8));
        return mode_t(022);
    }();
    return m;
}

} // namespace

QString Errore::testo() const
{
    const auto tr = [](const char* s) { return QCoreApplication::translate("Halvora", s); };
    switch (codice) {
    case ENOSPC:
    case EDQUOT:
        return tr("Spazio su disco esaurito.");
    case EROFS:
        return tr("Il disco è in sola lettura.");
    case EACCES:
    case EPERM:
        return tr("Permesso negato.");
    case EIO:
        return tr("Errore del disco.");
    default:
        return QString::fromLocal8Bit(std::strerror(codice));
    }
}

std::optional<Errore> scriviTutto(int fd, const char* dati, qint64 quanti)
{
    while (quanti > 0) {
        const ssize_t n = ::write(fd, dati, size_t(quanti));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Errore{errno};
        }
        if (n == 0)
            return Errore{ENOSPC};
        dati += n;
        quanti -= n;
    }
    return std::nullopt;
}

std::optional<Errore> sincronizzaCartella(const QString& cartella)
{
    const int fd = ::open(locale(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Errore{errno};
    int codice = 0;
    // Some file systems cannot sync a folder: nothing more can be done there.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        codice = errno;
    ::close(fd);
    if (codice)
        return Errore{codice};
    return std::nullopt;
}

Temporaneo::Temporaneo(const QString& cartella) : cartella_(cartella)
{
    QByteArray modello = locale(cartella) + "/.salvataggio-XXXXXX";
    fd_ = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd_ < 0) {
        errore_ = Errore{errno};
        return;
    }
    percorso_ = QFile::decodeName(modello);
    // What mkstemp gives (0600) is for private files; others get the usual mode.
    ::fchmod(fd_, 0666 & ~maschera());
}

Temporaneo::~Temporaneo()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!inPosto_ && !percorso_.isEmpty())
        ::unlink(locale(percorso_).constData());
}

bool Temporaneo::fallisce(int codice)
{
    if (!errore_)
        errore_ = Errore{codice};
    return false;
}

bool Temporaneo::scrivi(const char* dati, qint64 quanti)
{
    if (errore_ || fd_ < 0)
        return fallisce(EBADF);
    if (const auto e = scriviTutto(fd_, dati, quanti))
        return fallisce(e->codice);
    return true;
}

bool Temporaneo::impostaModo(mode_t modo)
{
    if (errore_ || fd_ < 0)
        return fallisce(EBADF);
    return ::fchmod(fd_, modo) == 0 || fallisce(errno);
}

bool Temporaneo::chiudi()
{
    if (errore_)
        return false;
    if (sincronizzato_)
        return true;
    // The data must be on disk before any name points at it; a full disk
    // that delays its allocation reports it here at the latest.
    if (::fsync(fd_) != 0)
        return fallisce(errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR)
        return fallisce(errno);
    sincronizzato_ = true;
    return true;
}

bool Temporaneo::sostituisci(const QString& destinazione)
{
    if (!chiudi())
        return false;
    if (::rename(locale(percorso_).constData(), locale(destinazione).constData()) != 0)
        return fallisce(errno);
    inPosto_ = true;
    if (auto e = sincronizzaCartella(cartellaDi(destinazione)))
        return fallisce(e->codice);
    return true;
}

bool Temporaneo::pubblica(const QString& destinazione)
{
    if (!chiudi())
        return false;
    const QByteArray da = locale(percorso_), a = locale(destinazione);
    // link(2) never replaces: the name is taken only when it is free.
    if (::link(da.constData(), a.constData()) == 0) {
        ::unlink(da.constData());
    } else {
        const int codice = errno;
        if (codice == EEXIST)
            return false; // free to try another name
        if (codice != EPERM && codice != EOPNOTSUPP && codice != ENOSYS)
            return fallisce(codice);
        // No hard links here: an empty file made exclusively holds the
        // name, and the rename puts the content over it.
        const int fd = ::open(a.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno == EEXIST ? false : fallisce(errno);
        ::close(fd);
        if (::rename(da.constData(), a.constData()) != 0) {
            const int c = errno;
            ::unlink(a.constData());
            return fallisce(c);
        }
    }
    inPosto_ = true;
    if (auto e = sincronizzaCartella(cartellaDi(destinazione)))
        return fallisce(e->codice);
    return true;
}

std::optional<Errore> salva(const QString& percorso, const QByteArray& dati)
{
    const QString destinazione = destinazioneReale(percorso);
    Temporaneo t(cartellaDi(destinazione));
    struct stat st {};
    if (::stat(locale(destinazione).constData(), &st) == 0)
        t.impostaModo(st.st_mode & 07777);
    if (t.scrivi(dati))
        t.sostituisci(destinazione);
    return t.errore();
}

std::optional<Errore> salvaNuovo(const QString& percorso, const QByteArray& dati, mode_t modo)
{
    Temporaneo t(cartellaDi(percorso));
    if (t.impostaModo(modo) && t.scrivi(dati) && !t.pubblica(percorso) && !t.errore())
        return Errore{EEXIST};
    return t.errore();
}

} // namespace SalvataggioSicuro
