#pragma once

#include <QString>
#include <optional>

// How much audio an MPEG-4 file (a memo, a dictation) holds, read from its
// boxes without decoding: the samples listed in its index, plus those of
// each fragment that reached the disk whole. A recording cut short by a
// kill keeps the fragments written before it; one killed before its first
// fragment, or an unfinished file of the plain layout (no index), holds none.
namespace LettoreMp4 {

// Seconds of audio; nothing when the file cannot be read, is no MPEG-4
// file (its first box is not "ftyp") or holds more boxes than any memo
// (a bound on the time a file left in the folder can take to read).
// Blocks: off the GUI thread. With `bastaUnCampione` the count
// stops at the first sample found, which is all that `senzaSuono` asks.
std::optional<double> secondiAudio(const QString& percorso, bool bastaUnCampione = false);

// An empty file, or an MPEG-4 file without a single sample of audio: no
// player can play it. Files of other kinds are not judged here.
bool senzaSuono(const QString& percorso);

} // namespace LettoreMp4
