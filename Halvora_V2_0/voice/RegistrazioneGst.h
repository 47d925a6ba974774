#pragma once

#include <functional>

typedef struct _GstElement GstElement;

// What QtMultimedia's recorder leaves to GStreamer, and one recording takes
// in hand, reaching the elements as QtMultimedia adds them to its pipeline:
// - it writes MPEG-4 with the index at the end and keeps 64 KiB back before
//   writing, so a recording ended by a kill, a crash or a lost display is an
//   empty file, or one no player opens. The muxer is set to close a fragment
//   every second, playable without anything that comes after it, and the
//   file sink to write each one as it comes;
// - it links the recording to the microphone while the microphone's audio
//   flows, and audio that comes before the new elements run stops the
//   microphone for good: a "saved" memo without sound. The recording is
//   started once the microphone's first audio has come, with that audio held
//   back until the recording's elements are all running.
// GUI thread only.
class RegistrazioneGst {
public:
    RegistrazioneGst() = default;
    ~RegistrazioneGst();
    RegistrazioneGst(const RegistrazioneGst&) = delete;
    RegistrazioneGst& operator=(const RegistrazioneGst&) = delete;

    // Runs `passo`, which gives the capture session its microphone;
    // `primoAudio` is called once the microphone's first audio comes (on a
    // GStreamer thread). False when QtMultimedia does not run on GStreamer:
    // then `primoAudio` is never called.
    bool aggiungiMicrofono(const std::function<void()>& passo, std::function<void()> primoAudio);
    // Runs `passo`, which starts the recorder, with the microphone's audio
    // held back meanwhile and the muxer and file sink set as said above.
    void avviaRegistrazione(const std::function<void()>& passo);

    // Milliseconds of audio in each fragment: about what a kill can cost.
    static constexpr unsigned kDurataFrammentoMs = 1000;

private:
    GstElement* tee_ = nullptr; // where the microphone's audio enters the session
};
