#pragma once

#include "Clock.h"

#include <QObject>
#include <functional>

// The persistent card's rotation counter: every 4.5 s it moves to the next
// eligible card, or back to 0 when fewer than two are eligible.
class RotazioneSchede : public QObject {
    Q_OBJECT
public:
    static constexpr double kPeriodo = 4.5;

    // `quante`: how many persistent cards are eligible right now.
    RotazioneSchede(Clock& clock, std::function<qsizetype()> quante, QObject* parent = nullptr);

    int indice() const { return indice_; }
    void avvia();
    // One tick (the timer's; public for tests of a single step).
    void passo();

signals:
    // The counter changed; `animato` is false for the reset to 0.
    void indiceChanged(bool animato);

private:
    Clock& clock_;
    std::function<qsizetype()> quante_;
    int indice_ = 0;
    TimerHandle timer_;
};
