#include "Molla.h"

#include <QTimer>
#include <cmath>
#include <numbers>
#include <utility>

Molla::Molla(double valore, double risposta, double smorzamento)
    : valore_(valore), obiettivo_(valore), risposta_(risposta), smorzamento_(smorzamento)
{
}

void Molla::vaiA(double obiettivo)
{
    obiettivo_ = obiettivo;
}

void Molla::vaiA(double obiettivo, double risposta, double smorzamento)
{
    obiettivo_ = obiettivo;
    risposta_ = std::max(risposta, 0.01);
    smorzamento_ = std::max(smorzamento, 0.0);
}

void Molla::salta(double valore)
{
    valore_ = obiettivo_ = valore;
    velocita_ = 0;
}

bool Molla::ferma() const
{
    return valore_ == obiettivo_ && velocita_ == 0;
}

bool Molla::avanza(double dt)
{
    if (ferma())
        return false;
    const double omega = 2 * std::numbers::pi / risposta_;
    const double k = omega * omega;
    const double c = 2 * smorzamento_ * omega;
    // Small fixed sub-steps keep the semi-implicit integration stable.
    const double passo = 1.0 / 240;
    for (double t = 0; t < dt; t += passo) {
        const double h = std::min(passo, dt - t);
        velocita_ += (-k * (valore_ - obiettivo_) - c * velocita_) * h;
        valore_ += velocita_ * h;
    }
    const double scala = std::max(1.0, std::abs(obiettivo_));
    if (std::abs(valore_ - obiettivo_) < 1e-3 * scala && std::abs(velocita_) < 1e-2 * scala) {
        valore_ = obiettivo_;
        velocita_ = 0;
        return false;
    }
    return true;
}

AnimatoreMolle::AnimatoreMolle(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setInterval(kIntervalloMs);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &AnimatoreMolle::tick);
}

void AnimatoreMolle::segui(Molla* molla)
{
    molle_ << molla;
}

void AnimatoreMolle::avvia()
{
    // The first step towards a new target on the next turn, not up to a
    // frame later, also when springs already move: a pointer that comes
    // back while the notch closes sees it turn in the frame drawn right after.
    timer_->start();
    if (std::exchange(passoInCoda_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            passoInCoda_ = false;
            if (!timer_->isActive())
                return; // completed meanwhile
            timer_->start(); // the next step a whole frame after this one
            tick();
        },
        Qt::QueuedConnection);
}

bool AnimatoreMolle::attivo() const
{
    return timer_->isActive();
}

void AnimatoreMolle::completa()
{
    for (Molla* m : molle_)
        m->salta(m->obiettivo());
    timer_->stop();
    emit passo();
}

void AnimatoreMolle::tick()
{
    bool moto = false;
    for (Molla* m : molle_)
        moto = m->avanza(kPasso) || moto;
    if (!moto)
        timer_->stop();
    emit passo();
}
