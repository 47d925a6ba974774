#include "CasaReale.h"

#include <QDir>
#include <QFileInfo>
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
    static const QString applicazioni = percorsoRisolto(cartellaCasaReale() + QStringLiteral("/Applications"));
    return applicazioni;
}

QString percorsoRisolto(const QString& percorso)
{
    if (percorso.isEmpty())
        return {};
    QString testa = QDir::cleanPath(QFileInfo(percorso).absoluteFilePath());
    QString coda;
    for (;;) {
        const QString reale = QFileInfo(testa).canonicalFilePath();
        if (!reale.isEmpty())
            return QDir::cleanPath(reale + coda);
        const qsizetype barra = testa.lastIndexOf(QLatin1Char('/'));
        if (barra <= 0)
            return QDir::cleanPath(testa + coda);
        coda.prepend(testa.mid(barra));
        testa.truncate(barra);
    }
}
