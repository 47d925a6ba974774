#pragma once

#include "AttivitaNotch.h"
#include "BatteriaMonitor.h"

#include <optional>

// Events of one feature that become a notice of the notch.
namespace Reazioni {

inline constexpr double kDurataAvviso = 4.0;

// A change between mains and battery; nothing for a first reading or for a
// change of charge or charging alone.
std::optional<AttivitaNotch> avvisoAlimentazione(const std::optional<StatoAlimentazione>& prima,
                                                 const std::optional<StatoAlimentazione>& dopo);

} // namespace Reazioni
