#include "AperturaDisplay.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

// A connection to the local server's socket, abstract or in the file
// system, is accepted: something listens there, whoever it lets in.
bool serverLocaleAscolta(int numero)
{
    const QByteArray percorso = "/tmp/.X11-unix/X" + QByteArray::number(numero);
    for (const bool astratto : {true, false}) {
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        const int inizio = astratto ? 1 : 0; // an abstract name starts with a NUL
        std::copy(percorso.begin(), percorso.end(), indirizzo.sun_path + inizio);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        const auto lunghezza = socklen_t(offsetof(sockaddr_un, sun_path) + inizio + percorso.size());
        const bool connesso = ::connect(fd, reinterpret_cast<const sockaddr*>(&indirizzo), lunghezza) == 0;
        ::close(fd);
        if (connesso)
            return true;
    }
    return false;
}

QString utente()
{
    const passwd* pw = ::getpwuid(::getuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::getuid());
}

// xcb_connect with standard error silenced: libxcb writes a refusal there
// itself, and the caller says it once in its own line.
int erroreConnessione(const QByteArray& display)
{
    const int salvato = ::dup(STDERR_FILENO);
    const int nullo = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (salvato >= 0 && nullo >= 0)
        ::dup2(nullo, STDERR_FILENO);
    xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
    const int errore = xcb_connection_has_error(c);
    xcb_disconnect(c);
    if (salvato >= 0 && nullo >= 0)
        ::dup2(salvato, STDERR_FILENO);
    if (nullo >= 0)
        ::close(nullo);
    if (salvato >= 0)
        ::close(salvato);
    return errore;
}

} // namespace

namespace AperturaDisplay {

std::optional<QString> ostacolo(const QByteArray& display)
{
    if (display.isEmpty())
        return QStringLiteral("no X display: DISPLAY is not set (start Halvora in a desktop session; "
                              "under Wayland it needs XWayland)");
    const QString nome = QString::fromLocal8Bit(display);
    char* host = nullptr;
    int numero = 0;
    if (!xcb_parse_display(display.constData(), &host, &numero, nullptr))
        return QStringLiteral("no X display: DISPLAY=\"%1\" is not a display name").arg(nome);
    const bool locale = !host[0] || QByteArray(host) == "unix";
    std::free(host);
    if (erroreConnessione(display) == 0)
        return std::nullopt;
    if (!locale)
        return QStringLiteral("the X display %1 cannot be opened by user %2: no answer, or not authorised")
            .arg(nome, utente());
    if (!serverLocaleAscolta(numero))
        return QStringLiteral("no X display: nothing answers on %1").arg(nome);
    const QByteArray autorizzazione = qgetenv("XAUTHORITY");
    return QStringLiteral("the X display %1 refuses user %2: not authorised (XAUTHORITY=%3)")
        .arg(nome, utente(), autorizzazione.isEmpty() ? QStringLiteral("unset") : QString::fromLocal8Bit(autorizzazione));
}

} // namespace AperturaDisplay
