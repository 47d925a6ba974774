#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QJsonValue>
#include <optional>

// Numbers and times read from other applications' files. Every value is
// untrusted: not-a-number, infinities, values past a 64-bit integer and
// absurd dates are dropped rather than converted.

// Dates outside [1970, 3000) are taken as garbage.
inline constexpr qint64 kSecondiDataMassima = 32503680000; // 3000-01-01T00:00:00Z

// The number rounded to the nearest integer, halves away from zero; none
// when it is not finite or does not fit a 64-bit integer.
std::optional<qint64> percentualeArrotondata(double valore);

// The moment `secondi` after 1970-01-01 UTC; none when not finite or out
// of range.
std::optional<QDateTime> dataDaSecondi(double secondi);

// `base` plus `secondi`; none when the result is out of range.
std::optional<QDateTime> dataDopo(const QDateTime& base, double secondi);

// An ISO 8601 date and time: YYYY-MM-DDTHH:MM:SS, optional fractional
// seconds, then "Z" or an offset written +HHMM, +HH:MM or +HH.
std::optional<QDateTime> dataISO(QByteArrayView testo);

// A "resets_at" or "timestamp" value: a string in the form above.
std::optional<QDateTime> dataAzzeramento(const QJsonValue& valore);
