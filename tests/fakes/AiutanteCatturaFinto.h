#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// A stand-in for the capture helper: a shell script that writes its
// arguments, one a line, to "argomenti" beside itself and then runs
// `azione` with $FILE set to the path it was given (its last argument).
namespace AiutanteCatturaFinto {

inline QString scrivi(const QString& cartella, const QString& azione)
{
    const QString percorso = QDir(cartella).filePath(QStringLiteral("cattura-finta.sh"));
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    const QString argomenti = QDir(cartella).filePath(QStringLiteral("argomenti"));
    f.write(QStringLiteral("#!/bin/sh\nfor a; do FILE=$a; done\nprintf '%s\\n' \"$@\" > '%1'\n%2\n")
                .arg(argomenti, azione)
                .toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return percorso;
}

// Writes a small picture at $FILE and exits 0.
inline QString salva() { return QStringLiteral("printf '\\211PNG\\r\\n' > \"$FILE\"; exit 0"); }

} // namespace AiutanteCatturaFinto
