#include "BattitoStrati.h"

#include "StratiPulsanti.h"

#include <QHash>
#include <QList>

namespace BattitoStrati {

namespace {

struct Iscritto;

// The beat of one clock and the animations that step on it.
struct Gruppo {
    Clock& clock;
    TimerHandle timer;
    QList<Iscritto*> iscritti;
    bool inBattito = false;

    static QHash<Clock*, Gruppo*>& tutti()
    {
        static QHash<Clock*, Gruppo*> g;
        return g;
    }

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
        tutti().remove(&clock);
        delete this; // from inside its own timer, which both clocks allow
    }
}

void Gruppo::togli(Iscritto* i)
{
    iscritti.removeAll(i);
    if (iscritti.isEmpty() && !inBattito) {
        tutti().remove(&clock);
        delete this;
    }
}

} // namespace

double intervallo() { return 1.0 / intervalloFotogrammi().preferito; }

TimerHandle segui(Clock& clock, std::function<void()> passo)
{
    Gruppo*& g = Gruppo::tutti()[&clock];
    if (!g) {
        g = new Gruppo{clock, {}, {}, false};
        Gruppo* nuovo = g;
        nuovo->timer = clock.repeating(intervallo(), [nuovo] { nuovo->batti(); });
    }
    auto i = std::make_shared<Iscritto>();
    i->passo = std::move(passo);
    i->gruppo = g;
    g->iscritti.append(i.get());
    return TimerHandle(i);
}

} // namespace BattitoStrati
