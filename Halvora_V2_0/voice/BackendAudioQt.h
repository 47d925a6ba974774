#pragma once

#include "BackendAudio.h"

// Recording and playback through QtMultimedia (GStreamer). The desktop has
// no per-application microphone permission: access counts as granted, and
// a missing microphone makes the start fail instead.
class BackendAudioQt final : public BackendAudio {
public:
    PermessoMicrofono permessoMicrofono() const override;
    void richiediPermessoMicrofono(std::function<void(bool)> risposta) override;
    std::unique_ptr<RegistratoreAudio> creaRegistratore(const QString& percorso, QString* errore) override;
    std::unique_ptr<LettoreAudio> creaLettore(const QString& percorso, QString* errore) override;

    // Whether the system offers any audio input. Checked before a capture
    // session is built: Qt's recorder can hang without one.
    static bool ciSonoIngressiAudio();
};
