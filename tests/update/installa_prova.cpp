// Copies a bundle into place the way the installation does, in a process of
// its own, so a test can run it as another user or kill it half-way. Prints
// "ok" or the error. With a third argument N the file system has no
// exchange of names and the process kills itself right after its N-th
// rename (the refused exchange is the first).
#include "CopiaInApplicazioni.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
        return 2;
    CopiaInApplicazioni::Rinomina rinomina;
    if (argc == 4)
        rinomina = [uccidiDopo = std::atoi(argv[3]), fatte = 0](int da, const char* nome, int a, const char* nomeA,
                                                                unsigned opzioni) mutable {
            int esito = -1;
            if (opzioni & RENAME_EXCHANGE)
                errno = EINVAL;
            else
                esito = ::renameat2(da, nome, a, nomeA, opzioni);
            if (++fatte == uccidiDopo)
                std::raise(SIGKILL);
            return esito;
        };
    const auto errore = CopiaInApplicazioni::installa(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), rinomina);
    std::fputs(errore ? qPrintable(*errore) : "ok", stdout);
    return 0;
}
