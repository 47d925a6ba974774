// Stands in for a new copy of the application in the relaunch tests: it
// listens on the socket named by HALVORA_PROVA_SOCKET, unless
// HALVORA_PROVA_MUTA is set, and exits after a few seconds.
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main()
{
    // Detached from the test: holding its output open would keep the test running.
    for (int fd = 0; fd < 3; ++fd)
        ::close(fd);
    const char* percorso = std::getenv("HALVORA_PROVA_SOCKET");
    if (percorso && !std::getenv("HALVORA_PROVA_MUTA")) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, percorso, sizeof a.sun_path - 1);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::unlink(percorso);
        if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 4) != 0)
            return 1;
    }
    ::sleep(8);
    return 0;
}
