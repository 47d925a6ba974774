#include "Quarantena.h"

#include "AlberoBundle.h"

#include <QFile>
#include <sys/xattr.h>

namespace Quarantena {

namespace {

bool marcatoFd(int fd)
{
    for (const char* a : kAttributi)
        if (::fgetxattr(fd, a, nullptr, 0) >= 0)
            return true;
    return false;
}

bool marcatoPercorso(const char* percorso)
{
    for (const char* a : kAttributi)
        if (::lgetxattr(percorso, a, nullptr, 0) >= 0)
            return true;
    return false;
}

} // namespace

bool marcato(const QString& percorso)
{
    return marcatoPercorso(QFile::encodeName(percorso).constData());
}

void rimuoviDaAlbero(int cartella)
{
    for (const char* a : kAttributi)
        ::fremovexattr(cartella, a);
    // Entries are reached by a path through the walk's own descriptors, so
    // a file that may not be opened for reading is still cleaned.
    AlberoBundle::percorri(cartella, [](const AlberoBundle::Voce& v) {
        const std::string p = AlberoBundle::percorsoVoce(v);
        for (const char* a : kAttributi)
            ::lremovexattr(p.c_str(), a);
        return AlberoBundle::Passo::continua;
    });
}

bool alberoPulito(int cartella)
{
    if (marcatoFd(cartella))
        return false;
    return AlberoBundle::percorri(cartella, [](const AlberoBundle::Voce& v) {
        return marcatoPercorso(AlberoBundle::percorsoVoce(v).c_str()) ? AlberoBundle::Passo::ferma
                                                                       : AlberoBundle::Passo::continua;
    });
}

} // namespace Quarantena
