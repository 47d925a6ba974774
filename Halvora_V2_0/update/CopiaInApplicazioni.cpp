#include "CopiaInApplicazioni.h"

#include "AlberoBundle.h"
#include "Quarantena.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace CopiaInApplicazioni {

namespace {

QString descrizione(int errore)
{
    return QString::fromLocal8Bit(std::strerror(errore));
}

// Permission bits only: a copy never gains setuid or setgid.
constexpr mode_t kBitPermessi = 0777;

int scriviTutto(int fd, const char* dati, ssize_t n)
{
    for (ssize_t fatto = 0; fatto < n;) {
        const ssize_t w = ::write(fd, dati + fatto, static_cast<size_t>(n - fatto));
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0)
            return errno;
        fatto += w;
    }
    return 0;
}

// One regular file, its bytes and permission bits; the errno of a failure.
int copiaFile(int daCartella, const char* nome, int sosta, const char* percorso, mode_t modo)
{
    const int da = ::openat(daCartella, nome, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (da < 0)
        return errno;
    struct stat st {};
    if (::fstat(da, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(da);
        return EINVAL; // swapped for something else since it was listed
    }
    const int a = ::openat(sosta, percorso, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (a < 0) {
        const int e = errno;
        ::close(da);
        return e;
    }
    int errore = 0;
    static thread_local char buf[1 << 17];
    for (;;) {
        const ssize_t n = ::read(da, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            errore = errno;
        if (n <= 0 || (errore = scriviTutto(a, buf, n)) != 0)
            break;
    }
    if (!errore && ::fchmod(a, modo & kBitPermessi) != 0)
        errore = errno;
    // On the disk before the rename can show it: a crash must not leave an
    // installed copy with empty files.
    if (!errore && ::fdatasync(a) != 0)
        errore = errno;
    if (::close(a) != 0 && !errore)
        errore = errno;
    ::close(da);
    return errore;
}

// The bundle's tree into the empty folder open at `sosta`; the errno of
// the first failure.
int copiaAlbero(int radice, int sosta)
{
    int errore = 0;
    std::vector<std::pair<std::string, mode_t>> cartelle;
    errno = 0;
    const bool completo = AlberoBundle::percorri(radice, [&](const AlberoBundle::Voce& v) {
        const char* p = v.percorso.c_str();
        switch (v.info.st_mode & S_IFMT) {
        case S_IFDIR:
            // Writable until everything is in, whatever its own bits say.
            if (::mkdirat(sosta, p, 0700) != 0)
                errore = errno;
            else
                cartelle.emplace_back(v.percorso, v.info.st_mode);
            break;
        case S_IFREG:
            errore = copiaFile(v.cartella, v.nome.c_str(), sosta, p, v.info.st_mode);
            break;
        case S_IFLNK: {
            char bersaglio[PATH_MAX + 1];
            const ssize_t n = ::readlinkat(v.cartella, v.nome.c_str(), bersaglio, sizeof bersaglio);
            if (n < 0 || n == static_cast<ssize_t>(sizeof bersaglio))
                errore = n < 0 ? errno : ENAMETOOLONG;
            else if (::symlinkat(std::string(bersaglio, static_cast<size_t>(n)).c_str(), sosta, p) != 0)
                errore = errno;
            break;
        }
        default: // devices, FIFOs and sockets are no part of an application
            break;
        }
        return errore ? AlberoBundle::Passo::ferma : AlberoBundle::Passo::continua;
    });
    if (!errore && !completo)
        errore = errno ? errno : EIO;
    for (auto it = cartelle.rbegin(); !errore && it != cartelle.rend(); ++it)
        if (::fchmodat(sosta, it->first.c_str(), it->second & kBitPermessi, 0) != 0)
            errore = errno;
    struct stat st {};
    if (!errore && (::fstat(radice, &st) != 0 || ::fchmod(sosta, st.st_mode & kBitPermessi) != 0))
        errore = errno;
    return errore;
}

// A new empty hidden folder in `cartella` for the bundle `nome`, named
// with `tipo`; its name, empty on failure (errno set).
std::string nuovaCartellaNascosta(const QByteArray& cartella, const std::string& nome, const char* tipo)
{
    QByteArray modello = cartella + '/' + '.' + QByteArray::fromStdString(nome) + tipo + "XXXXXX";
    if (!::mkdtemp(modello.data()))
        return {};
    return modello.mid(cartella.size() + 1).toStdString();
}

void rimuovi(const QByteArray& percorso)
{
    std::error_code ec; // what cannot go now goes at the next start
    std::filesystem::remove_all(percorso.toStdString(), ec);
}

int rinominaDiSistema(int da, const char* nome, int a, const char* nomeA, unsigned opzioni)
{
    return ::renameat2(da, nome, a, nomeA, opzioni);
}

// The exchange that the file system cannot do: the old entry steps aside
// to a hidden name, the new one takes its place, and the old one comes
// back when that fails. A kill between the two leaves the place empty and
// the old copy whole aside, where the next start finds it.
int secondoTentativo(int daCartella, const char* nuova, int dir, const QByteArray& cartella, const std::string& nome,
                     bool cartellaVecchia, const Rinomina& rinomina)
{
    const std::string aParte = nuovaCartellaNascosta(cartella, nome, kDaParte);
    if (aParte.empty())
        return errno;
    // A folder replaces the empty one; anything else needs the name free.
    if (!cartellaVecchia)
        ::unlinkat(dir, aParte.c_str(), AT_REMOVEDIR);
    if (rinomina(dir, nome.c_str(), dir, aParte.c_str(), 0) != 0) {
        const int e = errno;
        ::unlinkat(dir, aParte.c_str(), AT_REMOVEDIR);
        return e;
    }
    if (rinomina(daCartella, nuova, dir, nome.c_str(), 0) != 0) {
        const int e = errno;
        rinomina(dir, aParte.c_str(), dir, nome.c_str(), 0); // else the next start puts it back
        return e;
    }
    ::fsync(dir);
    rimuovi(cartella + '/' + QByteArray::fromStdString(aParte));
    return 0;
}

} // namespace

int sostituisci(int daCartella, const char* nuova, int dir, const QByteArray& cartella, const std::string& nome,
                const Rinomina& seam)
{
    const Rinomina& rinomina = seam ? seam : Rinomina(rinominaDiSistema);
    for (int tentativo = 0; tentativo < 3; ++tentativo) {
        struct stat st {};
        if (::fstatat(dir, nome.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return errno;
            if (rinomina(daCartella, nuova, dir, nome.c_str(), RENAME_NOREPLACE) == 0)
                return ::fsync(dir), 0;
            if (errno == EEXIST)
                continue; // something appeared in between: look again
            if (errno != EINVAL && errno != ENOSYS)
                return errno;
            return rinomina(daCartella, nuova, dir, nome.c_str(), 0) == 0 ? (::fsync(dir), 0) : errno;
        }
        if (rinomina(daCartella, nuova, dir, nome.c_str(), RENAME_EXCHANGE) == 0)
            return ::fsync(dir), 0;
        if (errno == ENOENT)
            continue; // it went away in between
        if (errno != EINVAL && errno != ENOSYS && errno != EXDEV)
            return errno;
        return secondoTentativo(daCartella, nuova, dir, cartella, nome, S_ISDIR(st.st_mode), rinomina);
    }
    return errno;
}

std::optional<QString> installa(const QString& bundle, const QString& destinazione, const Rinomina& rinomina)
{
    const QFileInfo d(destinazione);
    const QByteArray cartella = QFile::encodeName(QDir::cleanPath(d.absolutePath()));
    const std::string nome = QFile::encodeName(d.fileName()).toStdString();
    std::error_code ec;
    std::filesystem::create_directories(cartella.toStdString(), ec);
    if (ec)
        return QString::fromLocal8Bit(ec.message().c_str());
    const int radice = AlberoBundle::apriCartella(QFile::encodeName(bundle).toStdString());
    if (radice < 0)
        return descrizione(errno);
    const int dir = ::open(cartella.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        const int e = errno;
        ::close(radice);
        return descrizione(e);
    }
    int errore = 0;
    const std::string sosta = nuovaCartellaNascosta(cartella, nome, kSosta);
    if (sosta.empty()) {
        errore = errno;
    } else {
        const int fd = AlberoBundle::apriCartellaIn(dir, sosta);
        errore = fd < 0 ? errno : copiaAlbero(radice, fd);
        if (fd >= 0) {
            if (!errore)
                Quarantena::rimuoviDaAlbero(fd);
            ::close(fd);
        }
        if (!errore)
            errore = sostituisci(dir, sosta.c_str(), dir, cartella, nome, rinomina);
        // The new copy after a failure, the old one after an exchange,
        // nothing after a move.
        rimuovi(cartella + '/' + QByteArray::fromStdString(sosta));
    }
    ::close(dir);
    ::close(radice);
    if (errore)
        return descrizione(errore);
    return std::nullopt;
}

int rimuoviSoste(const QString& cartella)
{
    static const QRegularExpression kLasciata(
        QStringLiteral("^\\..+\\.app") + QRegularExpression::escape(QLatin1String(kSosta)) + QStringLiteral("[A-Za-z0-9]{6}$|^")
        + QRegularExpression::escape(QLatin1String(kAggiornamento)) + QStringLiteral("[0-9A-F-]{36}$"));
    static const QRegularExpression kMessaDaParte(QStringLiteral("^\\.(.+\\.app)") + QRegularExpression::escape(QLatin1String(kDaParte))
                                                  + QStringLiteral("[A-Za-z0-9]{6}$"));
    int trattate = 0;
    const QDir d(cartella);
    const auto tutte = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& n : d.entryList(tutte)) {
        const QString percorso = d.filePath(n);
        if (const auto m = kMessaDaParte.match(n); m.hasMatch()) {
            // The old copy of a second try cut short: back in its place
            // unless the new one got there (or it is still the empty folder).
            const QString posto = d.filePath(m.captured(1));
            const QFileInfo vecchia(percorso);
            struct stat st {};
            const bool vuota = vecchia.isDir() && !vecchia.isSymLink() && QDir(percorso).isEmpty(tutte);
            if (vuota || ::lstat(QFile::encodeName(posto).constData(), &st) == 0)
                rimuovi(QFile::encodeName(percorso));
            else // should it fail, the next start tries again
                ::rename(QFile::encodeName(percorso).constData(), QFile::encodeName(posto).constData());
            ++trattate;
        } else if (kLasciata.match(n).hasMatch()) {
            rimuovi(QFile::encodeName(percorso));
            ++trattate;
        }
    }
    return trattate;
}

} // namespace CopiaInApplicazioni
