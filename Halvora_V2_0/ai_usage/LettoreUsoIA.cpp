#include "LettoreUsoIA.h"

#include <QDir>

#include <sys/stat.h>

const QDateTime& passatoRemoto()
{
    static const QDateTime t = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    return t;
}

QString cartellaConfigurazione()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return cartellaCasaReale() + QStringLiteral("/.config");
}

std::vector<std::pair<QString, QDateTime>> dateDiModifica(const QStringList& file)
{
    std::vector<std::pair<QString, QDateTime>> risultato;
    risultato.reserve(static_cast<size_t>(file.size()));
    for (const QString& f : file) {
        struct stat st {};
        if (::stat(QFile::encodeName(f).constData(), &st) != 0)
            continue;
        risultato.emplace_back(f, QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec, Qt::UTC));
    }
    return risultato;
}
