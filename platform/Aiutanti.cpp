#include "Aiutanti.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Aiutanti {

QString percorso(const QString& nome, const QString& ripiego)
{
    const QString accanto = QDir(QCoreApplication::applicationDirPath()).filePath(nome);
    if (QFileInfo(accanto).isExecutable() || ripiego.isEmpty())
        return accanto;
    return ripiego;
}

} // namespace Aiutanti
