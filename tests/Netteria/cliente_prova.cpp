// Stands in for the application inside a test bundle, where it lies as
// "halvora":
//   halvora pulisci <path>              asks through the application's own client
//   halvora <service> <mode> [<path>]   talks to the service by hand; the mode
//                                       is richiesta, spazzatura, enorme or silenzio
// Prints SI, NO or NESSUNA (the service ended without answering).
#include "PulitoreQuarantena.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int aMano(const char* servizio, const QByteArray& modo, const char* percorso)
{
    int coppia[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, coppia) != 0)
        return 1;
    // Queued before the service starts, as the application does.
    QByteArray richiesta;
    if (modo == "richiesta")
        richiesta = percorso;
    else if (modo == "spazzatura")
        richiesta = QByteArray("/\xff\xfe\0x", 5);
    else if (modo == "enorme")
        richiesta = '/' + QByteArray(8000, 'a');
    if (!richiesta.isEmpty() && ::send(coppia[0], richiesta.constData(), richiesta.size(), MSG_NOSIGNAL) < 0)
        return 1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (coppia[0] != 3)
            ::close(coppia[0]);
        ::dup2(coppia[1], 3);
        if (coppia[1] != 3)
            ::close(coppia[1]);
        ::execl(servizio, servizio, nullptr);
        ::_exit(127);
    }
    ::close(coppia[1]);
    char b = 0;
    ssize_t n = ::recv(coppia[0], &b, 1, 0); // the answer, or the end when the service exits
    if (n < 0 && errno == ECONNRESET)        // ended without reading: an answer would still be queued
        n = ::recv(coppia[0], &b, 1, 0);
    ::waitpid(pid, nullptr, 0);
    std::puts(n == 1 ? (b == 1 ? "SI" : "NO") : "NESSUNA");
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "pulisci") == 0) {
        QCoreApplication app(argc, argv);
        PulitoreQuarantena::pulisci(QString::fromUtf8(argv[2]), [](bool pulito) {
            std::puts(pulito ? "SI" : "NO");
            QCoreApplication::exit(0);
        });
        return app.exec();
    }
    if (argc >= 3)
        return aMano(argv[1], argv[2], argc > 3 ? argv[3] : "");
    return 2;
}
