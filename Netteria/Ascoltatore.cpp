#include "Ascoltatore.h"

#include <QStringDecoder>
#include <climits>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Ascoltatore {

std::string clienteAccanto()
{
    char percorso[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", percorso, sizeof percorso - 1);
    if (n <= 0)
        return {};
    std::string proprio(percorso, n);
    return proprio.substr(0, proprio.rfind('/') + 1) + "halvora";
}

bool accetta(int fd, const std::string& cliente)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
        return false;
    int dominio = 0, tipo = 0;
    socklen_t l = sizeof(int);
    if (::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &dominio, &l) != 0 || dominio != AF_UNIX)
        return false;
    l = sizeof(int);
    if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &tipo, &l) != 0 || tipo != SOCK_SEQPACKET)
        return false;
    // For a socket pair the peer is whoever made the pair: it must be this
    // user's process that started the service and is still its parent.
    ucred pari{};
    l = sizeof pari;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &pari, &l) != 0 || pari.uid != ::getuid() ||
        pari.pid != ::getppid() || pari.pid <= 1)
        return false;
    struct stat eseguito {}, atteso {};
    const std::string exe = "/proc/" + std::to_string(pari.pid) + "/exe";
    return !cliente.empty() && ::stat(exe.c_str(), &eseguito) == 0 && ::lstat(cliente.c_str(), &atteso) == 0 &&
           S_ISREG(atteso.st_mode) && eseguito.st_dev == atteso.st_dev && eseguito.st_ino == atteso.st_ino;
}

std::optional<QString> leggiRichiesta(int fd, int attesaMs)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, attesaMs) != 1)
        return std::nullopt;
    char buf[kMassimoRichiesta + 1];
    // MSG_TRUNC gives the whole record's length, so an oversized one shows.
    const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_TRUNC | MSG_DONTWAIT);
    if (n <= 0 || n > kMassimoRichiesta)
        return std::nullopt;
    const QByteArrayView dati(buf, n);
    if (dati.contains('\0'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString percorso = utf8.decode(dati);
    if (utf8.hasError())
        return std::nullopt;
    return percorso;
}

bool rispondi(int fd, bool pulito)
{
    const char b = pulito ? 1 : 0;
    return ::send(fd, &b, 1, MSG_NOSIGNAL) == 1;
}

} // namespace Ascoltatore
