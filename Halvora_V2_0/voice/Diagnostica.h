#pragma once

#include <QString>
#include <cstdio>

// The few diagnostics of the voice features go to standard output.
inline void diagnostica(const QString& testo)
{
    std::fprintf(stdout, "%s\n", testo.toLocal8Bit().constData());
    std::fflush(stdout);
}
