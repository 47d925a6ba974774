#pragma once

#include "LetturaUsoIA.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>
#include <QStringList>
#include <optional>

// One entry file of the desktop application's web cache (Chromium's simple
// cache layout): a 24-byte header, the request URL, then the stored body,
// here a zstd frame holding the usage answer as JSON.
namespace VoceCache {

inline constexpr quint64 kMagia = 0xFCFB6D1BA7725C30ULL;
inline constexpr qsizetype kIntestazione = 24;
inline constexpr quint32 kChiaveMassima = 8192;
// Bytes read to learn an entry's key: the header and the longest key.
inline constexpr qsizetype kLetturaChiave = kIntestazione + kChiaveMassima;
// Sizes of entry files looked at, and the most read of one.
inline constexpr qint64 kVoceMinima = 25;
inline constexpr qint64 kVoceMassima = 524288;
// The decompressed answer never takes more than this.
inline constexpr size_t kUscitaMassima = 262144;

// The request URL of an entry, from its first bytes; none for a bad magic
// number, a key length outside 1…8192, a short read or invalid UTF-8.
std::optional<QString> chiaveVoce(QByteArrayView byte);

// Whether the key is the usage endpoint of the provider's web service:
// one of `domini` anywhere, then "/api/organizations/<id>/usage" with
// nothing after it but a query or fragment.
bool filtraURLUso(const QString& chiave, const QStringList& domini);

// The content of the first zstd frame of `corpo`, at most 262,144 bytes;
// none when the frame is cut off, corrupt or larger.
std::optional<QByteArray> decomprimiZstd(QByteArrayView corpo);

// A usage answer (JSON): the "limits" list and/or the "five_hour" and
// "seven_day" objects. `scrittaIl` is the entry file's modification time.
std::optional<LetturaUsoIA> analizzaRisposta(const QByteArray& json, const QDateTime& scrittaIl);

// A "five_hour" or "seven_day" object.
std::optional<LimiteIA> analizzaFinestra(const QJsonValue& valore);

// A whole entry as read from disk (up to 524,288 bytes): key, filter,
// body, decompression and answer.
std::optional<LetturaUsoIA> analizzaVoce(QByteArrayView byte, const QDateTime& scrittaIl, const QStringList& domini);

} // namespace VoceCache
