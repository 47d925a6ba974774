#include "OfferteWayland.h"

#include <algorithm>

OfferteWayland::OfferteWayland(Distruggi distruggi) : distruggi_(std::move(distruggi)) {}

OfferteWayland::~OfferteWayland() { chiudi(); }

OfferteWayland::Offerta* OfferteWayland::annunciata(void* proxy)
{
    annunciate_.push_back(std::make_unique<Offerta>(Offerta{proxy, {}}));
    return annunciate_.back().get();
}

void OfferteWayland::tipo(Offerta* o, const char* nome)
{
    if (o && nome && !o->scelta)
        o->tipi << QString::fromUtf8(nome);
}

bool OfferteWayland::selezione(Offerta* o)
{
    // A compositor may name the current offer again: it stays.
    if (o && o == corrente_.get())
        return false;
    auto it = std::find_if(annunciate_.begin(), annunciate_.end(), [o](const auto& a) { return a.get() == o; });
    std::unique_ptr<Offerta> nuova;
    if (it != annunciate_.end()) {
        nuova = std::move(*it);
        nuova->scelta = true;
        annunciate_.erase(it);
    }
    const bool cambiata = nuova || corrente_;
    lascia(std::exchange(corrente_, std::move(nuova)));
    // Offers announced and not made the selection never will be.
    for (auto& a : std::exchange(annunciate_, {}))
        lascia(std::move(a));
    return cambiata;
}

void OfferteWayland::chiudi()
{
    lascia(std::move(corrente_));
    for (auto& a : std::exchange(annunciate_, {}))
        lascia(std::move(a));
}

void OfferteWayland::lascia(std::unique_ptr<Offerta> o)
{
    if (o && o->proxy)
        distruggi_(o->proxy);
}
