#include "Trasloco.h"

#include "AlberoBundle.h"
#include "FirmaBundle.h"
#include "InfoBundle.h"
#include "Quarantena.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace Trasloco {

bool isQuarantinedAppBundle(const QString& bundle)
{
    const auto info = InfoBundle::daBundle(bundle);
    const QDir b(bundle);
    for (const QString& voce : {b.path(), b.filePath(QString::fromLatin1(InfoBundle::kNomeFile)),
                                b.filePath(QString::fromLatin1(FirmaBundle::kCartellaFirma)),
                                b.filePath(info ? info->eseguibile : QStringLiteral("halvora"))})
        if (Quarantena::marcato(voce))
            return true;
    return false;
}

void stripQuarantineLocally(const QString& bundle)
{
    const int fd = AlberoBundle::apriCartella(QFile::encodeName(bundle).toStdString());
    if (fd < 0)
        return;
    Quarantena::rimuoviDaAlbero(fd);
    ::close(fd);
}

} // namespace Trasloco
