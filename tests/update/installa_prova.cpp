// Copies a bundle into place the way the installation does, in a process of
// its own, so a test can run it as another user or kill it half-way. Prints
// "ok" or the error.
#include "CopiaInApplicazioni.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const auto errore = CopiaInApplicazioni::installa(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    std::fputs(errore ? qPrintable(*errore) : "ok", stdout);
    return 0;
}
