#pragma once

#include "Clock.h"

#include <functional>

// The beat the layer animations of a clock step on (waves, pulses, rocking
// symbols, the progress line), one per rate asked for within the layers'
// range: animations that run together at a rate make one frame a beat, not
// one each, and a beat stops when none runs, so a card at rest costs no
// wake-up.
namespace BattitoStrati {

// Seconds between two beats at the preferred rate.
double intervallo();
// Runs `passo` on every beat of `clock` at `alSecondo` frames a second
// (held within the layers' range; 0: the preferred rate) until the handle
// is cancelled or destroyed; the first beat comes one interval from now.
[[nodiscard]] TimerHandle segui(Clock& clock, std::function<void()> passo, double alSecondo = 0);

} // namespace BattitoStrati
