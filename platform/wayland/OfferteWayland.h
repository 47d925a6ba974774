#pragma once

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The offers a data-control device announces, kept as the compositor tells
// of them: an offer is announced, its types follow, then it becomes the
// selection (or none does). What is no longer announced nor the selection
// is destroyed, once. Free of the protocol's own calls, so that any order
// of events a compositor may send can be tried on it.
class OfferteWayland {
public:
    struct Offerta {
        void* proxy = nullptr;
        QStringList tipi;
        // Once the selection, its types are read from other threads and change no more.
        bool scelta = false;
    };
    // Destroys the compositor's object of an offer we let go.
    using Distruggi = std::function<void(void* proxy)>;

    explicit OfferteWayland(Distruggi distruggi);
    ~OfferteWayland();
    OfferteWayland(const OfferteWayland&) = delete;
    OfferteWayland& operator=(const OfferteWayland&) = delete;

    // A new offer; its types come with `tipo`, on the thread that announced it.
    Offerta* annunciata(void* proxy);
    static void tipo(Offerta* o, const char* nome);
    // The selection is now `o` (null: nothing, or an offer never announced).
    // True when it changed. Offers announced before it are let go.
    bool selezione(Offerta* o);
    const Offerta* corrente() const { return corrente_.get(); }
    // Lets every offer go.
    void chiudi();

private:
    void lascia(std::unique_ptr<Offerta> o);

    Distruggi distruggi_;
    std::vector<std::unique_ptr<Offerta>> annunciate_;
    std::unique_ptr<Offerta> corrente_;
};
