#pragma once

#include "SchedaChiusa.h"

class PomodoroManager;
class PulsanteCapsula;
class VistaFormaPulsante;
class VistaSimboloOscillante;

// The closed notch's countdown card. Counting, 180 by 46: an orange ring of
// the time left, the time and the status word on a calm orange card. While
// the alarm rings, 240 by 46: a pulsing red card with a rocking bell,
// "Tempo scaduto", the status word and a button that silences the alarm.
// It keeps no state of the countdown: every change of the manager redraws it.
class TimerCardView : public SchedaChiusa {
    Q_OBJECT
public:
    static constexpr QSizeF kConteggio{180, 46};
    static constexpr QSizeF kAllarme{240, 46};
    static constexpr double kDurataArco = 0.9;  // seconds the ring takes to follow a tick
    static constexpr double kDurataCifre = 0.25; // and the time's digits

    TimerCardView(PomodoroManager& manager, Clock& clock, QWidget* parent = nullptr);

    // The fraction of the countdown left, in 0…1; 0 without a length.
    static double progresso(int timeRemaining, int totalTime);

    bool inAllarme() const { return allarme_; }
    // The fraction the ring draws now, gliding towards progresso().
    double progressoMostrato() const;
    PulsanteCapsula* pulsanteFerma() const { return ferma_; }
    const RulloCifre& tempo() const { return tempo_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void disegnaPrimoPiano(QPainter& p) override;
    void hideEvent(QHideEvent*) override;

private:
    void aggiorna();
    void disponi();

    PomodoroManager& manager_;
    bool allarme_ = false;
    int secondi_ = -1;
    // The ring glides linearly from `da_` to `a_` over kDurataArco.
    double da_ = 0, a_ = 0, inizioArco_ = 0;
    TimerHandle arco_;
    RulloCifre tempo_;
    VistaFormaPulsante* sfondoAllarme_;
    VistaSimboloOscillante* campana_;
    PulsanteCapsula* ferma_;
};
