#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>

// Puts a copy of a bundle in place so that, whatever moment the process is
// killed at, the place holds either the old copy whole or the new one whole
// (or, on a file system that cannot exchange two names, is empty with the
// old copy whole aside until the next start puts it back): the copy is made
// in a hidden folder beside the place and swapped in by renames. Blocking
// file work, for a worker thread.
namespace CopiaInApplicazioni {

// Hidden folders of an unfinished copy are named "." + the bundle's name +
// this + six random characters.
inline constexpr char kSosta[] = ".sosta-";
// An old copy stepped aside is named "." + the bundle's name + this + six
// random characters.
inline constexpr char kDaParte[] = ".vecchia-";
// The hidden folders of an update beside the installed copy: this and an
// upper-case UUID.
inline constexpr char kAggiornamento[] = ".aggiornamento-";

// renameat2(), or what a test puts in its place.
using Rinomina = std::function<int(int daCartella, const char* da, int cartella, const char* a, unsigned opzioni)>;

// Copies the bundle folder at `bundle` to `destinazione` (its folder made
// when missing), replacing what lies there. Folders, regular files and
// links are copied with their permission bits (without setuid or setgid);
// links are never followed, other kinds of entries are left out. The
// system's description of the first error, or none once in place.
std::optional<QString> installa(const QString& bundle, const QString& destinazione, const Rinomina& rinomina = {});

// Puts the entry `nuova` of the folder open at `daCartella` at `nome` in
// `cartella` (open at `dir`, the same file system), replacing what lies
// there: one exchange of the two names, or a move when nothing lies there.
// Where the file system has no exchange, the old entry steps aside, the new
// one is moved in and the old one removed, or put back on any failure.
// After an exchange the old entry is left at `nuova`. The error number, 0
// once in place.
int sostituisci(int daCartella, const char* nuova, int dir, const QByteArray& cartella, const std::string& nome,
                const Rinomina& rinomina = {});

// What interrupted copies and updates left in `cartella`: an old copy
// stepped aside goes back to its place when that is empty, the rest is
// removed. The number of entries handled.
int rimuoviSoste(const QString& cartella);

} // namespace CopiaInApplicazioni
