#pragma once

#include "Clock.h"

#include <functional>

// The one beat every layer animation of a clock steps on (waves, pulses,
// rocking symbols, the progress line), at the rate those animations ask for:
// animations that run together make one frame a beat, not one each, and
// the beat stops when none runs, so a card at rest costs no wake-up.
namespace BattitoStrati {

// Seconds between two beats.
double intervallo();
// Runs `passo` on every beat of `clock` until the handle is cancelled or
// destroyed; the first beat comes one interval from now.
[[nodiscard]] TimerHandle segui(Clock& clock, std::function<void()> passo);

} // namespace BattitoStrati
