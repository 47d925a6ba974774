#include "CasaReale.h"

#include <QDir>
#include <pwd.h>
#include <unistd.h>

QString cartellaCasaReale()
{
    static const QString casa = [] {
        const passwd* pw = getpwuid(getuid());
        if (pw && pw->pw_dir && *pw->pw_dir)
            return QDir::cleanPath(QString::fromLocal8Bit(pw->pw_dir));
        return QDir::cleanPath(QDir::homePath());
    }();
    return casa;
}

QString cartellaApplicazioni()
{
    return cartellaCasaReale() + QStringLiteral("/Applications");
}
