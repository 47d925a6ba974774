#pragma once

#include <QObject>
#include <QList>

class Clock;
class QTimer;

// A spring's response (seconds per oscillation) and damping fraction
// (1 = no overshoot).
struct CostantiMolla {
    double risposta;
    double smorzamento;
    bool operator==(const CostantiMolla&) const = default;
};

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
    void vaiA(double obiettivo, CostantiMolla costanti) { vaiA(obiettivo, costanti.risposta, costanti.smorzamento); }
    CostantiMolla costanti() const { return {risposta_, smorzamento_}; }
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
    // The springs move in steps of this much of their time, as many on
    // each beat as the real time since the motion began holds (the first
    // at once): a path is the same every time and can be worked out ahead,
    // and a beat served late catches up instead of slowing the motion. The
    // beat comes a little more often than a 60 Hz frame, so that one served
    // a few milliseconds late still changes the picture within one.
    static constexpr int kIntervalloMs = 14;
    static constexpr double kPasso = kIntervalloMs / 1000.0;

    // Real time from the process's clock.
    explicit AnimatoreMolle(QObject* parent = nullptr);
    // Real time from `orologio` (tests hand a manual one).
    explicit AnimatoreMolle(Clock& orologio, QObject* parent = nullptr);
    ~AnimatoreMolle() override;
    void segui(Molla* molla);
    // Call after changing a target: the first step comes on the next turn,
    // with every other animator's, and the beat goes on from there. Springs
    // already moving take that step too, so a new target shows at once.
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
    // The steps due by now; false once all rest. `mosso` tells whether any
    // step was taken (a beat may come before the next one is due).
    bool tick(bool& mosso);
    QList<Molla*> molle_;
    Clock& orologio_;
    bool attivo_ = false;
    double inizio_ = 0;    // the clock's time when this stretch of motion began
    qint64 passiFatti_ = 0; // steps taken since then
    bool passoSubito_ = false;
};
