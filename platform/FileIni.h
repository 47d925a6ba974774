#pragma once

#include <QByteArray>
#include <QVariantMap>

// Settings as the text of an INI file that QSettings reads back to the same
// values: QSettings writes its own file without checking every step.
// A key's first group is its section (keys of none under [General]), the
// rest of its groups joined by "\"; strings are quoted; a list of strings
// is its quoted items; a date and time is its ISO text in UTC; what has no
// text form (a list of fewer than two, other types) is QSettings' own
// serialised form.
namespace FileIni {

QByteArray testo(const QVariantMap& valori);

// A key as QSettings keeps it: no empty groups, no "/" at either end.
// Empty for a key QSettings refuses.
QString chiaveNormale(const QString& chiave);

// What a file held. `intero` is false when some part of it could not be
// read: lines that are no text, unbalanced quotes, lines QSettings refuses,
// keys it cannot give back. Every setting that could be read is in `valori`.
struct Lettura {
    QVariantMap valori;
    bool intero = true;
};
Lettura leggi(const QByteArray& byte);

} // namespace FileIni
