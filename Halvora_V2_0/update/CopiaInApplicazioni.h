#pragma once

#include <QString>
#include <optional>

// Puts a copy of a bundle in place so that, whatever moment the process is
// killed at, the place holds either the old copy whole or the new one whole:
// the copy is made in a hidden folder beside the place and swapped in by
// one rename. Blocking file work, for a worker thread.
namespace CopiaInApplicazioni {

// Hidden folders of an unfinished copy are named "." + the bundle's name +
// this + six random characters.
inline constexpr char kSosta[] = ".sosta-";

// Copies the bundle folder at `bundle` to `destinazione` (its folder made
// when missing), replacing what lies there. Folders, regular files and
// links are copied with their permission bits (without setuid or setgid);
// links are never followed, other kinds of entries are left out. The
// system's description of the first error, or none once in place.
std::optional<QString> installa(const QString& bundle, const QString& destinazione);

// Removes what interrupted copies left in `cartella`; the number removed.
int rimuoviSoste(const QString& cartella);

} // namespace CopiaInApplicazioni
