#include "ArchivioAgenda.h"

#include <QDesktopServices>
#include <QUrl>

bool ArchivioAgenda::apriImpostazioni() const
{
    // There is no privacy pane: the folder is what the user can put right.
    const QString c = cartella();
    return !c.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(c));
}
