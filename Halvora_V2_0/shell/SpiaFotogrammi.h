#pragma once

#include <functional>

class QString;

// For the benchmarks: each stretch of work of the GUI thread up to a wait
// or to a window's paint (an animation frame, a reading handled) that lasts
// a millisecond or more becomes one line, "fotogramma <wall ms> <cpu ms>".
// It watches the main loop's waits, so it sees the whole frame: the springs'
// step, the layout it causes, the paint and the flush.
namespace SpiaFotogrammi {
// False where the main loop is not the one it can watch.
bool installa(std::function<void(const QString&)> scrivi);
} // namespace SpiaFotogrammi
