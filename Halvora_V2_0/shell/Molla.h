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
    // How close is close enough, in the value's own units: a step that
    // leaves the value this near its target and moving less than this far
    // a step ends the motion there (half a pixel for a value in pixels).
    // Unset, a thousandth of the target (at least of 1).
    void setTolleranza(double tolleranza) { tolleranza_ = tolleranza; }
    // Advances by `dt` seconds; true while still moving.
    bool avanza(double dt);
    bool ferma() const;

private:
    double valore_, obiettivo_, velocita_ = 0;
    double risposta_, smorzamento_;
    double tolleranza_ = 0;
};

// Drives springs at display rate while any of them moves and rests when all
// do, so an idle notch costs nothing. Every animator of the process steps
// on one shared beat, in the same turn: springs that move together (the
// notch, its tab indicator and module) make one frame, not one each.
class AnimatoreMolle : public QObject {
    Q_OBJECT
public:
    // Each frame moves the springs on by this much, whenever it comes: a
    // path is the same every time, and can be worked out ahead. A little
    // under a 60 Hz frame, so that a beat the event loop serves a few
    // milliseconds late still changes the picture within one.
    static constexpr int kIntervalloMs = 14;
    static constexpr double kPasso = kIntervalloMs / 1000.0;

    explicit AnimatoreMolle(QObject* parent = nullptr);
    ~AnimatoreMolle() override;
    void segui(Molla* molla);
    // Call after changing a target: the first step comes on the next turn,
    // with every other animator's, and the beat goes on from there.
    void avvia();
    // Jumps every spring to its target (no animation, e.g. offscreen renders).
    void completa();
    bool attivo() const { return attivo_; }
    // Steps of the shared beat since start: frames a stretch of motion was meant to take.
    static quint64 battiti();

signals:
    void passo();

private:
    friend class BattitoMolle;
    // One step of the springs; false once all rest.
    bool tick();
    QList<Molla*> molle_;
    bool attivo_ = false;
};
