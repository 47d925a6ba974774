#include "BattitoStrati.h"

#include "StratiPulsanti.h"

#include <QHash>
#include <QList>
#include <algorithm>
#include <utility>

namespace BattitoStrati {

namespace {

struct Iscritto;

// The beat of one clock at one rate and the animations that step on it.
struct Gruppo {
    using Chiave = std::pair<Clock*, double>;
    Clock& clock;
    double alSecondo;
    TimerHandle timer;
    QList<Iscritto*> iscritti;
    bool inBattito = false;

    static QHash<Chiave, Gruppo*>& tutti()
    {
        static QHash<Chiave, Gruppo*> g;
        return g;
    }
    Chiave chiave() const { return {&clock, alSecondo}; }

    void batti();
    void togli(Iscritto* i);
};

struct Iscritto final : TimerHandle::Task {
    std::function<void()> passo;
    Gruppo* gruppo = nullptr;
    ~Iscritto() override { cancel(); }
    void cancel() override
    {
        if (Gruppo* g = std::exchange(gruppo, nullptr))
            g->togli(this);
        passo = nullptr;
    }
    bool isActive() const override { return gruppo != nullptr; }
};

void Gruppo::batti()
{
    // Each steps once; one that joins during this beat waits for the next.
    inBattito = true;
    const QList<Iscritto*> ora = iscritti;
    for (Iscritto* i : ora)
        if (iscritti.contains(i)) {
            const auto passo = i->passo; // it may cancel itself
            if (passo)
                passo();
        }
    inBattito = false;
    if (iscritti.isEmpty()) {
        tutti().remove(chiave());
        delete this; // from inside its own timer, which both clocks allow
    }
}

void Gruppo::togli(Iscritto* i)
{
    iscritti.removeAll(i);
    if (iscritti.isEmpty() && !inBattito) {
        tutti().remove(chiave());
        delete this;
    }
}

} // namespace

double intervallo() { return 1.0 / intervalloFotogrammi().preferito; }

TimerHandle segui(Clock& clock, std::function<void()> passo, double alSecondo)
{
    const IntervalloFotogrammi& r = intervalloFotogrammi();
    alSecondo = alSecondo == 0 ? r.preferito : std::clamp(alSecondo, r.minimo, r.massimo);
    Gruppo*& g = Gruppo::tutti()[Gruppo::Chiave{&clock, alSecondo}];
    if (!g) {
        g = new Gruppo{clock, alSecondo, {}, {}, false};
        Gruppo* nuovo = g;
        nuovo->timer = clock.repeating(1.0 / alSecondo, [nuovo] { nuovo->batti(); });
    }
    auto i = std::make_shared<Iscritto>();
    i->passo = std::move(passo);
    i->gruppo = g;
    g->iscritti.append(i.get());
    return TimerHandle(i);
}

} // namespace BattitoStrati
