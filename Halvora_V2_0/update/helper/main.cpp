// halvora-scompatta <package.zip> <folder> [entries bytes]: unpacks an update
// package into an existing empty folder. Exits 0 once every entry is written,
// 1 with the reason on stderr when the package is refused, 2 on bad usage.
#include "Scompattatore.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s <package.zip> <folder> [entries bytes]\n", argv[0]);
        return 2;
    }
    // Names are UTF-8 whatever the caller's locale.
    std::setlocale(LC_ALL, "C.UTF-8");
    VociZip::Limiti limiti;
    if (argc == 5) {
        limiti.voci = std::atoll(argv[3]);
        limiti.byte = std::atoll(argv[4]);
        if (limiti.voci <= 0 || limiti.byte <= 0)
            return 2;
    }
    // Whatever goes wrong in here, no file grows past the package's bound
    // and nothing is dumped.
    const rlim_t tetto = rlim_t(limiti.byte) + 1;
    const rlimit file{tetto, tetto}, core{0, 0};
    setrlimit(RLIMIT_FSIZE, &file);
    setrlimit(RLIMIT_CORE, &core);
    const int zip = ::open(argv[1], O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const int cartella = ::open(argv[2], O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (zip < 0 || cartella < 0) {
        std::fprintf(stderr, "cannot open %s\n", zip < 0 ? argv[1] : argv[2]);
        return 1;
    }
    if (const auto errore = Scompattatore::scompatta(zip, cartella, limiti)) {
        std::fprintf(stderr, "%s\n", errore->c_str());
        return 1;
    }
    return 0;
}
