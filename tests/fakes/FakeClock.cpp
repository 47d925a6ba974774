#include "FakeClock.h"

#include <algorithm>
#include <cmath>

struct FakeClock::Voce final : TimerHandle::Task {
    double scadenza = 0;
    double ripeti = 0; // 0 for one-shot
    qint64 ordine = 0;
    bool attiva = true;
    std::function<void()> fn;
    void cancel() override
    {
        attiva = false;
        fn = nullptr;
    }
    bool isActive() const override { return attiva; }
};

FakeClock::FakeClock(QDateTime inizio) : inizio_(std::move(inizio)) {}

QDateTime FakeClock::now() const
{
    return inizio_.addMSecs(static_cast<qint64>(std::llround(trascorso_ * 1000.0)));
}

void FakeClock::setNow(const QDateTime& quando)
{
    inizio_ = quando.addMSecs(-static_cast<qint64>(std::llround(trascorso_ * 1000.0)));
}

TimerHandle FakeClock::singleShot(double seconds, std::function<void()> fn)
{
    return aggiungi(limitaIntervallo(seconds), 0, std::move(fn));
}

TimerHandle FakeClock::repeating(double seconds, std::function<void()> fn)
{
    double intervallo = std::max(limitaIntervallo(seconds), 0.001);
    return aggiungi(intervallo, intervallo, std::move(fn));
}

TimerHandle FakeClock::aggiungi(double seconds, double ripeti, std::function<void()> fn)
{
    auto v = std::make_shared<Voce>();
    v->scadenza = trascorso_ + seconds;
    v->ripeti = ripeti;
    v->ordine = sequenza_++;
    v->fn = std::move(fn);
    voci_.push_back(v);
    return TimerHandle(v);
}

int FakeClock::pending() const
{
    return static_cast<int>(std::count_if(voci_.begin(), voci_.end(), [](auto& v) { return v->attiva; }));
}

double FakeClock::nextDue() const
{
    double minimo = -1;
    for (auto& v : voci_)
        if (v->attiva && (minimo < 0 || v->scadenza < minimo))
            minimo = v->scadenza;
    return minimo < 0 ? -1 : minimo - trascorso_;
}

void FakeClock::advance(double seconds)
{
    const double fine = trascorso_ + seconds + 1e-9;
    for (;;) {
        std::erase_if(voci_, [](auto& v) { return !v->attiva; });
        auto it = std::min_element(voci_.begin(), voci_.end(), [](auto& a, auto& b) {
            return a->scadenza != b->scadenza ? a->scadenza < b->scadenza : a->ordine < b->ordine;
        });
        if (it == voci_.end() || (*it)->scadenza > fine)
            break;
        auto voce = *it;
        trascorso_ = std::max(trascorso_, voce->scadenza);
        auto fn = voce->fn;
        if (voce->ripeti > 0) {
            voce->scadenza += voce->ripeti;
            voce->ordine = sequenza_++;
        } else {
            voce->attiva = false;
            voce->fn = nullptr;
        }
        if (fn)
            fn();
    }
    trascorso_ = std::max(trascorso_, fine - 1e-9);
}
