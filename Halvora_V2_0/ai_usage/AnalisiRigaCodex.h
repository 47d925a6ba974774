#pragma once

#include "LetturaUsoIA.h"

#include <QByteArrayView>
#include <QJsonValue>
#include <optional>

// The rate-limit snapshots that the coding agent writes into its session
// logs (JSON Lines).
namespace RigaCodex {

// Lines without these bytes are never parsed.
inline constexpr QByteArrayView kMarcatore = "\"rate_limits\"";

// One log line; `ripiego` dates it when its "timestamp" is missing or
// unreadable (the file's modification time).
std::optional<LetturaUsoIA> analizzaRiga(QByteArrayView riga, const QDateTime& ripiego);

// A "primary" or "secondary" window; `base` is what "resets_in_seconds"
// counts from.
std::optional<LimiteIA> analizzaFinestra(const QJsonValue& valore, const QDateTime& base);

// The last usable snapshot in the tail of a log, reading lines from the
// end. `tagliata`: the tail starts inside the file, so its first line may
// be partial and is dropped.
std::optional<LetturaUsoIA> analizzaCoda(QByteArrayView coda, bool tagliata, const QDateTime& ripiego);

} // namespace RigaCodex
