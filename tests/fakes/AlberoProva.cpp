#include "AlberoProva.h"

#include "Quarantena.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

QStringList alberoProva(const QString& radice)
{
    QStringList voci;
    QDirIterator it(radice, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(p).constData(), &st);
        QString contenuto;
        if (S_ISLNK(st.st_mode)) {
            char b[4096];
            const ssize_t n = ::readlink(QFile::encodeName(p).constData(), b, sizeof b);
            contenuto = QString::fromLocal8Bit(b, std::max<ssize_t>(n, 0));
        }
        else if (S_ISREG(st.st_mode)) {
            QFile f(p);
            if (f.open(QIODevice::ReadOnly))
                contenuto = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
        }
        voci << QStringLiteral("%1 %2 %3 %4").arg(p.mid(radice.size()), QString::number(st.st_mode, 8), contenuto,
                                                 Quarantena::marcato(p) ? "marcata" : "");
    }
    voci.sort();
    return voci;
}
