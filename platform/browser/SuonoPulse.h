#pragma once

#include <QList>
#include <functional>
#include <optional>

// The playback streams of the sound server (PulseAudio, or PipeWire's
// pulse server), asked through libpulse.
namespace SuonoPulse {

struct Flusso {
    qint64 pid = 0;     // application.process.id, 0 when the stream gives none
    bool fermo = false; // corked: open but not playing
};

// The streams now; nothing when no sound server answers within `attesaMs`.
// Blocks: call it on a worker thread.
std::optional<QList<Flusso>> flussi(int attesaMs);

// Whether a browser sounds: a playing stream of a process in its tree
// (`delBrowser` tells), counted only while its player says it plays. No
// sound server: cannot tell (nothing).
std::optional<bool> suona(const std::optional<QList<Flusso>>& flussi, bool playerInRiproduzione,
                          const std::function<bool(qint64 pid)>& delBrowser);

} // namespace SuonoPulse
