#pragma once

#include <QString>
#include <optional>

class AvvioAlLogin;

// The desktop's entries that start the application follow the copy that
// runs from ~/Applications: the entry that opens halvora:// URLs and, when
// launch at login is on, the login item. Blocking file work, for a worker.
namespace RegistrazioneCopia {

// The URL-scheme entry's file name, in the user's applications folder.
inline constexpr char kVoceSchema[] = "halvora.desktop";

// The URL-scheme entry for the program `eseguibile`.
QString voceSchema(const QString& eseguibile);

// Writes the URL-scheme entry in `cartellaVoci` unless it already starts
// `eseguibile`, and registers the login item again when it is on, so that
// it starts the running program. The first error, or none.
std::optional<QString> aggiorna(const QString& eseguibile, const QString& cartellaVoci, AvvioAlLogin& avvio);

} // namespace RegistrazioneCopia
