#pragma once

#include "NotchGeometry.h"

#include <QString>
#include <optional>

class AvvioAlLogin;

// The desktop's entries that start the application: the menu entry, which
// also opens halvora:// URLs, and, when launch at login is on, the login
// item. They start the copy installed in ~/Applications when there is one,
// else the copy that runs. Blocking file work, for a worker.
namespace RegistrazioneCopia {

// The entry's file name, in the user's applications folder.
inline constexpr char kVoce[] = "halvora.desktop";
// The application's icon, beside the executable in the bundle.
inline constexpr char kIcona[] = "halvora.svg";

// The executable the desktop starts for the copy at `posizione`.
QString copiaDaAvviare(const NotchGeometry::Posizione& posizione);

// The menu entry for the program `eseguibile`, with the icon of its bundle.
QString voce(const QString& eseguibile);

// Writes the menu entry in `cartellaVoci` unless it already starts
// `eseguibile`, and registers the login item again when it is on, so that
// it starts that program too. The first error, or none.
std::optional<QString> aggiorna(const QString& eseguibile, const QString& cartellaVoci, AvvioAlLogin& avvio);

} // namespace RegistrazioneCopia
