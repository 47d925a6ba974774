#include "Molla.h"

#include "Clock.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>
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
    // Near enough and all but still: the rest of the way would show as a
    // pixel crept now and then, so it ends on the target.
    const double tolleranza = tolleranza_ > 0 ? tolleranza_ : 1e-3 * std::max(1.0, std::abs(obiettivo_));
    if (std::abs(valore_ - obiettivo_) < tolleranza && std::abs(velocita_) * dt < tolleranza) {
        valore_ = obiettivo_;
        velocita_ = 0;
        return false;
    }
    return true;
}

// The beat every animator steps on: one timer at display rate, running
// while any of them moves.
class BattitoMolle : public QObject {
public:
    static BattitoMolle& condiviso()
    {
        static BattitoMolle* b = new BattitoMolle;
        return *b;
    }

    void aggiungi(AnimatoreMolle* a)
    {
        if (!attivi_.contains(a))
            attivi_ << a;
        // The first step on the next turn, not up to a frame later, also
        // when springs already move: a pointer that comes back while the
        // notch closes sees it turn in the frame drawn right after. The beat
        // goes on a whole frame after that step.
        timer_.start();
        if (std::exchange(passoInCoda_, true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                passoInCoda_ = false;
                if (attivi_.isEmpty())
                    return; // completed meanwhile
                timer_.start();
                batti();
            },
            Qt::QueuedConnection);
    }

    quint64 battiti() const { return battiti_; }

    void togli(AnimatoreMolle* a)
    {
        attivi_.removeAll(a);
        if (attivi_.isEmpty())
            timer_.stop();
    }

private:
    BattitoMolle()
    {
        timer_.setInterval(AnimatoreMolle::kIntervalloMs);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, &BattitoMolle::batti);
    }

    void batti()
    {
        ++battiti_;
        // Each takes the steps due; one that starts during this beat waits
        // for the next. One that took none and still moves has nothing new
        // to show.
        const QList<QPointer<AnimatoreMolle>> ora(attivi_.cbegin(), attivi_.cend());
        QList<QPointer<AnimatoreMolle>> mossi;
        for (const QPointer<AnimatoreMolle>& a : ora) {
            if (!a || !attivi_.contains(a.data()))
                continue;
            bool mosso = false;
            if (!a->tick(mosso)) {
                togli(a.data());
                mosso = true;
            }
            if (mosso)
                mossi << a;
        }
        for (const QPointer<AnimatoreMolle>& a : std::as_const(mossi))
            if (a)
                emit a->passo();
    }

    QList<AnimatoreMolle*> attivi_;
    QTimer timer_;
    bool passoInCoda_ = false;
    quint64 battiti_ = 0;
};

quint64 AnimatoreMolle::battiti()
{
    return BattitoMolle::condiviso().battiti();
}

AnimatoreMolle::AnimatoreMolle(QObject* parent) : AnimatoreMolle(Clock::system(), parent) {}

AnimatoreMolle::AnimatoreMolle(Clock& orologio, QObject* parent) : QObject(parent), orologio_(orologio) {}

AnimatoreMolle::~AnimatoreMolle()
{
    BattitoMolle::condiviso().togli(this);
}

void AnimatoreMolle::segui(Molla* molla)
{
    molle_ << molla;
}

void AnimatoreMolle::avvia()
{
    if (!attivo_) {
        inizio_ = orologio_.monotonic();
        passiFatti_ = 0;
    } else {
        passoSubito_ = true;
    }
    attivo_ = true;
    BattitoMolle::condiviso().aggiungi(this);
}

void AnimatoreMolle::completa()
{
    for (Molla* m : molle_)
        m->salta(m->obiettivo());
    attivo_ = false;
    BattitoMolle::condiviso().togli(this);
    emit passo();
}

bool AnimatoreMolle::tick(bool& mosso)
{
    // One step at once, then one for each whole step of time since.
    const qint64 dovuti = 1 + qint64(std::floor((orologio_.monotonic() - inizio_) / kPasso));
    qint64 passi = dovuti - passiFatti_;
    // A new target shows at once, once: ahead of time by one step at most,
    // however often the target changes.
    if (std::exchange(passoSubito_, false) && passi == 0)
        passi = 1;
    bool moto = std::any_of(molle_.cbegin(), molle_.cend(), [](const Molla* m) { return !m->ferma(); });
    mosso = false;
    for (qint64 i = 0; i < passi && moto; ++i) {
        moto = false;
        for (Molla* m : molle_)
            moto = m->avanza(kPasso) || moto;
        ++passiFatti_;
        mosso = true;
    }
    attivo_ = moto;
    return moto;
}
