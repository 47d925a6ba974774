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
    return argomentiDaRiga(leggi(pid, "cmdline"));
}

QStringList argomentiDaRiga(const QByteArray& riga)
{
    // A rewritten title may leave the rest of its old room as NULs.
    QByteArray r = riga;
    while (r.endsWith('\0'))
        r.chop(1);
    if (r.isEmpty())
        return {};
    // A process that rewrites its title leaves one string with its arguments
    // joined by spaces: split it there. An argument holding a space (a folder
    // name with a blank) is then cut in two; that form keeps no way to tell.
    const bool unita = !r.contains('\0');
    QStringList a;
    for (const QByteArray& p : r.split(unita ? ' ' : '\0'))
        if (!unita || !p.isEmpty())
            a << QString::fromLocal8Bit(p);
    return a;
}

QString eseguibile(qint64 pid)
{
    return pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() : QString();
}

} // namespace Processi
