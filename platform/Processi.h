#pragma once

#include <QString>
#include <QStringList>

// What /proc tells of a process. Small blocking file reads: call them on a
// worker thread or in a helper, not on the GUI thread.
namespace Processi {

// The parent's pid; 0 when the process is gone or unreadable.
qint64 genitore(qint64 pid);
// Whether `pid` is `antenato` itself or one of its descendants.
bool discendeDa(qint64 pid, qint64 antenato);
// The command line, one entry per argument.
QStringList argomenti(qint64 pid);
// The arguments in the bytes of /proc/PID/cmdline: NUL-separated, or one
// string joined by spaces where the process rewrote it (Chromium does).
QStringList argomentiDaRiga(const QByteArray& riga);
// The executable's path; empty when unreadable.
QString eseguibile(qint64 pid);

} // namespace Processi
