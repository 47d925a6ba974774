#pragma once

#include <memory>

class QSoundEffect;

// The end-of-countdown sound.
class SuonoAllarme {
public:
    virtual ~SuonoAllarme() = default;
    // Plays the sound once from its start; a missing sound plays nothing.
    virtual void suona() = 0;
};

// The short chime shipped with the application, through QtMultimedia.
class SuonoAllarmeQt final : public SuonoAllarme {
public:
    SuonoAllarmeQt();
    ~SuonoAllarmeQt() override;
    void suona() override;

private:
    std::unique_ptr<QSoundEffect> effetto_;
};
