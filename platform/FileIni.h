#pragma once

#include <QByteArray>
#include <QVariantMap>

// Settings as the text of an INI file that QSettings reads back to the same
// values: QSettings writes its own file without checking every step.
// A key's first group is its section (keys of none under [General]), the
// rest of its groups joined by "\"; strings are quoted; a list of strings
// is its quoted items; a date and time is its ISO text in UTC.
namespace FileIni {

QByteArray testo(const QVariantMap& valori);

} // namespace FileIni
