#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Interruzione;

// Packs files and folders into one ZIP archive. Each input lies at the
// archive's root under its own name (the first of two equal names wins);
// folders are walked, links are stored as links and never followed, and
// pipes, sockets and devices are left out. Names are stored as UTF-8.
class ArchivioZip {
public:
    // Folders nested deeper than this are left out below that depth.
    static constexpr int kProfonditaMassima = 256;

    // Writes <cartella>/<base>.zip (or the next free name); its path, or
    // nothing when no entry could be stored, a file could not be read
    // whole, or `stop` was raised.
    static std::optional<QString> crea(const QStringList& ingressi, const QString& base, const QString& cartella,
                                       const Interruzione& stop);
};
