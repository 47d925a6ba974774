#pragma once

#include "LetturaUsoIA.h"

#include <map>
#include <vector>

// The usage monitor's rules, as plain functions of their inputs.
namespace RegoleUsoIA {

inline constexpr double kEtaMassima = 43200.0;   // older readings are not published
inline constexpr double kAttualeClaude = 1200.0; // a Claude reading is current up to this age
inline constexpr double kAttualeCodex = 43200.0;
inline constexpr qint64 kSogliaSettimanale = 75;

using Letture = std::map<FornitoreIA, LetturaUsoIA>;
using Stati = std::map<FornitoreIA, StatoUsoIA>;

// A window that is usable again.
struct Liberato {
    FornitoreIA fornitore;
    bool settimanale;
    bool operator==(const Liberato&) const = default;
};

// The states to publish at `adesso`: readings older than 12 h left out,
// expired windows zeroed, each marked current by its provider's age.
Stati statiDaLetture(const Letture& letture, const QDateTime& adesso);

// The windows that were exhausted in `prima` and are not any more in
// `dopo`: at most one per provider, the seven-day one first, none while
// either window of the new state is exhausted, and none for a provider
// without an earlier state.
std::vector<Liberato> liberati(const Stati& prima, const Stati& dopo);

// The window to show for a reading: the seven-day one when there is no
// session window, or when it is at 75 % or more and above the session's.
struct Scelta {
    LimiteIA limite;
    bool settimanale;
    bool operator==(const Scelta&) const = default;
};
std::optional<Scelta> limiteDaMostrare(const LetturaUsoIA& lettura);

// What the closed notch shows: the current state of the provider in front.
struct SceltaTacca {
    LimiteIA limite;
    bool settimanale;
    FornitoreIA fornitore;
    bool operator==(const SceltaTacca&) const = default;
};
std::optional<SceltaTacca> statoPerTacca(const Stati& stati, std::optional<FornitoreIA> inPrimoPiano);

// What the open panel shows: the provider in front, else the last used,
// else the other one; current or not.
std::optional<StatoUsoIA> statoPerPannello(const Stati& stati, std::optional<FornitoreIA> inPrimoPiano,
                                           FornitoreIA ultimoUsato);

} // namespace RegoleUsoIA
