#pragma once

#include <QByteArray>
#include <QVariantMap>

// Settings as the text of an INI file that QSettings reads back to the same
// values (QSettings itself only writes straight to the file, unchecked).
// Keys go under [General], a "/" as "\"; strings are quoted; a list of
// strings is its quoted items; a date and time is its ISO text in UTC.
namespace FileIni {

QByteArray testo(const QVariantMap& valori);

} // namespace FileIni
