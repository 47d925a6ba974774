#include "Processi.h"

#include <QFile>
#include <QFileInfo>

namespace {
QByteArray leggi(qint64 pid, const char* voce)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(voce)));
    if (pid <= 0 || !f.open(QIODevice::ReadOnly))
        return {};
    return f.read(1 << 16);
}
} // namespace

namespace Processi {

qint64 genitore(qint64 pid)
{
    // "pid (comm) state ppid ...": comm may hold blanks and parentheses.
    const QByteArray stat = leggi(pid, "stat");
    const int chiusa = stat.lastIndexOf(')');
    if (chiusa < 0)
        return 0;
    const QList<QByteArray> campi = stat.mid(chiusa + 2).split(' ');
    return campi.size() > 1 ? campi.at(1).toLongLong() : 0;
}

bool discendeDa(qint64 pid, qint64 antenato)
{
    if (pid <= 0 || antenato <= 0)
        return false;
    // Bounded: a chain longer than this is no real process tree.
    for (int i = 0; i < 64 && pid > 0; ++i) {
        if (pid == antenato)
            return true;
        pid = genitore(pid);
    }
    return false;
}

QStringList argomenti(qint64 pid)
{
    QByteArray riga = leggi(pid, "cmdline");
    if (riga.endsWith('\0'))
        riga.chop(1);
    QStringList r;
    if (riga.isEmpty())
        return r;
    for (const QByteArray& a : riga.split('\0'))
        r << QString::fromLocal8Bit(a);
    return r;
}

QString eseguibile(qint64 pid)
{
    return pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() : QString();
}

} // namespace Processi
