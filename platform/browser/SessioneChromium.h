#pragma once

#include "ControlloBrowser.h"

#include <QByteArray>
#include <optional>

// The open tabs of a Chromium-family browser, from the session file its
// profile keeps ("Sessions/Session_*", formerly "Current Session"): a log
// of commands after the "SNSS" header. The format is the browser's own and
// undocumented; only the commands that place tabs and name their pages are
// read, the rest is skipped.
namespace SessioneChromium {

// The open tabs with an http(s) address; `attiva` marks each window's
// selected tab. Nothing when the data is not a readable session.
std::optional<QList<SchedaBrowser>> leggiDati(const QByteArray& dati);
std::optional<QList<SchedaBrowser>> leggi(const QString& percorso);
// The newest session file of the user-data folder, in `profilo` when given,
// else in any profile; empty when there is none.
QString fileCorrente(const QString& cartellaDati, const QString& profilo = {});
// The user-data folder and profile a browser process was started with
// ("--user-data-dir", "--profile-directory"); empty parts when not given.
std::pair<QString, QString> cartelleDaArgomenti(const QStringList& argomenti);

} // namespace SessioneChromium
