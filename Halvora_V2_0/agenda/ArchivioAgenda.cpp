#include "ArchivioAgenda.h"

#include <QDesktopServices>
#include <QUrl>

void ArchivioAgenda::apriImpostazioni() const
{
    // There is no privacy pane: the folder is what the user can put right.
    if (const QString c = cartella(); !c.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(c));
}
