#pragma once

#include "FornitoreIA.h"

#include <QDateTime>
#include <optional>

// One usage window: the share used, when it starts afresh, and whether the
// source marks it as exhausted.
struct LimiteIA {
    qint64 percentuale = 0;
    std::optional<QDateTime> siAzzera;
    bool critico = false;

    bool operator==(const LimiteIA&) const = default;
};

// One reading of one provider: the five-hour and the seven-day window, and
// when the source wrote them (the monitor ages the reading from that).
struct LetturaUsoIA {
    FornitoreIA fornitore = FornitoreIA::claude;
    std::optional<LimiteIA> sessione;
    std::optional<LimiteIA> settimana;
    QDateTime scrittaIl;

    bool operator==(const LetturaUsoIA&) const = default;
};

// What the monitor publishes for one provider.
struct StatoUsoIA {
    LetturaUsoIA lettura;
    bool attuale = false;

    bool operator==(const StatoUsoIA&) const = default;
};

// Exhausted: marked critical or above 99 percent.
inline bool esaurito(const LimiteIA& l)
{
    return l.critico || l.percentuale > 99;
}

// Expired: the reset time is known and not later than `adesso`.
inline bool scaduto(const LimiteIA& l, const QDateTime& adesso)
{
    return l.siAzzera && *l.siAzzera <= adesso;
}
