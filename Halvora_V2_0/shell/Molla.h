#pragma once

#include <QObject>
#include <QList>

class QTimer;

// A damped spring moving one value towards its target, given as response
// (seconds per oscillation) and damping fraction (1 = no overshoot).
class Molla {
public:
    explicit Molla(double valore = 0, double risposta = 0.4, double smorzamento = 0.7);

    double valore() const { return valore_; }
    double obiettivo() const { return obiettivo_; }
    // New target; with new spring parameters when given.
    void vaiA(double obiettivo);
    void vaiA(double obiettivo, double risposta, double smorzamento);
    // Jumps to the value with no motion.
    void salta(double valore);
    // Advances by `dt` seconds; true while still moving.
    bool avanza(double dt);
    bool ferma() const;

private:
    double valore_, obiettivo_, velocita_ = 0;
    double risposta_, smorzamento_;
};

// Drives springs at display rate while any of them moves and stops its
// timer when all rest, so an idle notch costs nothing.
class AnimatoreMolle : public QObject {
    Q_OBJECT
public:
    // Each frame moves the springs on by this much, whenever it comes: a
    // path is the same every time, and can be worked out ahead.
    static constexpr int kIntervalloMs = 16;
    static constexpr double kPasso = kIntervalloMs / 1000.0;

    explicit AnimatoreMolle(QObject* parent = nullptr);
    void segui(Molla* molla);
    // Call after changing a target.
    void avvia();
    // Jumps every spring to its target (no animation, e.g. offscreen renders).
    void completa();
    bool attivo() const;

signals:
    void passo();

private:
    void tick();
    QList<Molla*> molle_;
    QTimer* timer_;
    bool passoInCoda_ = false;
};
