#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <fcntl.h>
#include <sys/file.h>
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

const QByteArray kPrefisso = ".salvataggio-";
// The random part mkstemp fills in, and the dot before the target's name.
constexpr int kCasuale = 6;
// A name longer than this does not fit beside the prefix within NAME_MAX.
constexpr qsizetype kNomeMassimo = 255 - 14 - kCasuale - 1;

QString nomeDi(const QString& percorso) { return percorso.mid(percorso.lastIndexOf(QLatin1Char('/')) + 1); }

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

Temporaneo::Temporaneo(const QString& cartella, const QString& nome) : cartella_(cartella)
{
    QByteArray coda = locale(nome);
    if (coda.isEmpty() || coda.size() > kNomeMassimo || coda.contains('/'))
        coda.clear();
    else
        coda.prepend('.');
    QByteArray modello = locale(cartella) + '/' + kPrefisso + QByteArray(kCasuale, 'X') + coda;
    fd_ = ::mkostemps(modello.data(), int(coda.size()), O_CLOEXEC);
    if (fd_ < 0) {
        errore_ = Errore{errno};
        return;
    }
    percorso_ = QFile::decodeName(modello);
    // Held while this save lives: a look for leftovers passes it by.
    ::flock(fd_, LOCK_EX);
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

bool Temporaneo::sincronizza()
{
    if (errore_)
        return false;
    if (sincronizzato_)
        return true;
    // The data must be on disk before any name points at it; a full disk
    // that delays its allocation reports it here at the latest. The file
    // stays open (and held) until it has its name.
    if (::fsync(fd_) != 0)
        return fallisce(errno);
    sincronizzato_ = true;
    return true;
}

bool Temporaneo::sostituisci(const QString& destinazione)
{
    if (!sincronizza())
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
    if (!sincronizza())
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
    Temporaneo t(cartellaDi(destinazione), nomeDi(destinazione));
    struct stat st {};
    if (::stat(locale(destinazione).constData(), &st) == 0)
        t.impostaModo(st.st_mode & 07777);
    if (t.scrivi(dati))
        t.sostituisci(destinazione);
    return t.errore();
}

std::optional<Errore> salvaNuovo(const QString& percorso, const QByteArray& dati, mode_t modo)
{
    Temporaneo t(cartellaDi(percorso), nomeDi(percorso));
    if (t.impostaModo(modo) && t.scrivi(dati) && !t.pubblica(percorso) && !t.errore())
        return Errore{EEXIST};
    return t.errore();
}

} // namespace SalvataggioSicuro

namespace SalvataggioSicuro {

QList<Avanzo> avanzi(const QString& cartella)
{
    QList<Avanzo> trovati;
    const QDir dir(cartella);
    for (const QString& nome : dir.entryList({QString::fromLatin1(kPrefisso) + QLatin1Char('*')},
                                             QDir::Files | QDir::Hidden | QDir::System)) {
        const QString percorso = dir.filePath(nome);
        const int fd = ::open(locale(percorso).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A save under way holds its temporary.
        const bool libero = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        if (!libero)
            continue;
        const QString dopo = nome.mid(kPrefisso.size() + kCasuale);
        trovati.append({percorso, dopo.startsWith(QLatin1Char('.')) && dopo.size() > 1 ? dir.filePath(dopo.mid(1))
                                                                                        : QString()});
    }
    return trovati;
}

void scartaAvanzi(const QString& percorso)
{
    for (const Avanzo& a : avanzi(QFileInfo(percorso).path()))
        if (QDir::cleanPath(a.destinazione) == QDir::cleanPath(percorso))
            QFile::remove(a.percorso);
}

bool ripristina(const Avanzo& avanzo)
{
    if (avanzo.destinazione.isEmpty())
        return false;
    struct stat t {}, d {};
    if (::stat(locale(avanzo.percorso).constData(), &t) != 0)
        return false;
    const bool c = ::stat(locale(avanzo.destinazione).constData(), &d) == 0;
    const auto prima = [](const struct stat& a, const struct stat& b) {
        return std::tie(a.st_mtim.tv_sec, a.st_mtim.tv_nsec) <= std::tie(b.st_mtim.tv_sec, b.st_mtim.tv_nsec);
    };
    if (c && !prima(d, t))
        return false;
    if (::rename(locale(avanzo.percorso).constData(), locale(avanzo.destinazione).constData()) != 0)
        return false;
    sincronizzaCartella(cartellaDi(avanzo.destinazione));
    return true;
}

} // namespace SalvataggioSicuro
