#pragma once

#include "SchedaChiusa.h"

class PulsanteCapsula;
class VistaFormaPulsante;
class VoiceManager;

// The closed notch's card while a memo is recorded: a pulsing red dot,
// "Registrazione" and the time elapsed, and a red "Stop" button, 240 by 46
// on a frosted card with a faint pulsing red glow.
class RegistrazioneCardView : public SchedaChiusa {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{240, 46};

    RegistrazioneCardView(VoiceManager& voiceManager, Clock& clock, QWidget* parent = nullptr);

    // "%02d:%02d" of the whole seconds; minutes are not limited to two digits.
    static QString testoTempo(double secondi);
    PulsanteCapsula* pulsanteStop() const { return stop_; }
    const RulloCifre& tempo() const { return tempo_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void disegnaPrimoPiano(QPainter& p) override;
    void hideEvent(QHideEvent*) override;

private:
    VoiceManager& voiceManager_;
    VistaFormaPulsante* bagliore_;
    VistaFormaPulsante* punto_;
    PulsanteCapsula* stop_;
    RulloCifre tempo_;
};
