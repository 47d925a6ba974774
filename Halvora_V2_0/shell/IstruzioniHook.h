#pragma once

#include "FornitoreIA.h"

#include <QString>
#include <QVariantMap>

// The hooks that make the coding agents announce themselves through the
// halvora:// scheme, and the request text the user pastes into the agent so
// it installs them. The application never touches the agents' files.
namespace IstruzioniHook {

// The shell command of one hook. It looks for the application only among
// the user's own processes, does nothing when it is not running, hands the
// URL over in the background and always exits with success.
QString comandoHook(FornitoreIA fornitore, const QString& evento);
// Pretty-printed JSON with sorted keys and unescaped slashes; empty on failure.
QString testoJSON(const QVariantMap& dizionario);
QString hookClaude();
QString hookCodex();
QString promptInstallazioneHook(FornitoreIA fornitore);

} // namespace IstruzioniHook
