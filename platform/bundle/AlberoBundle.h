#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>

// A walk over a folder tree that never follows a symbolic link: every folder
// is opened relative to its parent without following, so a link swapped in
// during the walk cannot lead it outside. Names are visited in byte order.
namespace AlberoBundle {

// Deepest nesting and most entries a walk accepts: a bundle far past them is
// not ours, and the limits keep descriptors and memory bounded.
inline constexpr int kProfonditaMassima = 64;
inline constexpr int kVociMassime = 200000;

struct Voce {
    std::string percorso; // relative to the root, '/'-separated
    int cartella = -1;    // descriptor of the folder that holds it (valid during the visit)
    std::string nome;     // its name in that folder
    struct stat info {};  // the entry itself, not a link's target
    int profondita = 0;   // number of folders between it and the root
};

enum class Passo { continua, salta, ferma }; // `salta` skips a folder's contents

// Visits every entry below the folder open at `radice`, each folder before
// its contents. False when the visitor stopped, a folder could not be read
// or a limit was passed.
bool percorri(int radice, const std::function<Passo(const Voce&)>& visita);

// Opens the folder at `percorso` for a walk, refusing a symbolic link in its
// last component; -1 on failure. The caller closes it.
int apriCartella(const std::string& percorso);
int apriCartellaIn(int cartella, const std::string& nome);

// The whole of a regular file in the folder, opened without following a
// link; none when it is missing, not a regular file, unreadable or larger
// than `massimo` bytes.
std::optional<QByteArray> leggiFile(int cartella, const char* nome, qsizetype massimo);

// "/proc/self/fd/<cartella>/<nome>": a path to the entry itself for the
// calls that only take a path (with their no-follow variant).
std::string percorsoVoce(const Voce& v);

} // namespace AlberoBundle
