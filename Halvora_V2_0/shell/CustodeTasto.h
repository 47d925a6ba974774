#pragma once

#include <QString>

// Gives the hot key back to the desktop when the application dies without
// doing it itself (a SIGKILL, a crash): a small shell waits on a pipe that
// only the application holds open, and when the pipe closes runs the
// application with `kArgomento`, which frees the key unless a copy runs.
class CustodeTasto {
public:
    static inline const QString kArgomento = QStringLiteral("--libera-tasto");

    // Starts the watcher once for this process; false when it cannot start.
    static bool avvia(const QString& eseguibile);
};
