#pragma once

#include <functional>

// What QtMultimedia's recorder leaves to GStreamer, and we take in hand:
// - it writes MPEG-4 with the index at the end and keeps 64 KiB back before
//   writing, so a recording ended by a kill, a crash or a lost display is an
//   empty file, or one no player opens. The muxer is set to close a fragment
//   every second, playable without anything that comes after it, and the
//   file sink to write each one as it comes;
// - it links the recording to the microphone even while the microphone is
//   still starting, and then the microphone may never send a sound: a
//   "saved" memo without audio. The first audio through the capture
//   session's microphone is told, so the recording starts after it.
// The elements are reached as QtMultimedia adds them to its pipelines.
namespace RegistrazioneGst {

// Runs `passo` (a call into a QtMultimedia capture session or recorder, on
// this thread) with that in effect for the elements it adds. When `passo`
// adds a microphone, `primoAudio` is called once its first audio comes (on
// a GStreamer thread). False when QtMultimedia does not run on GStreamer:
// nothing is adjusted and `primoAudio` is never called.
bool durante(const std::function<void()>& passo, std::function<void()> primoAudio = {});

// Milliseconds of audio in each fragment: about what a kill can cost.
inline constexpr unsigned kDurataFrammentoMs = 1000;

} // namespace RegistrazioneGst
