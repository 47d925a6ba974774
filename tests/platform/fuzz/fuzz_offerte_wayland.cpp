// Fuzzes the clipboard offers as a compositor may announce them, in any
// order: offers announced, their types, offers made the selection (again,
// or after they were let go), and the bytes read from one. Every offer let
// go is destroyed once, the selection is always a live one, and the text
// read from it is valid UTF-8.
#include "Lettore.h"
#include "Pasteboard.h"
#include "wayland/OfferteWayland.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    // The compositor's objects: ids from 1 on; those still alive, and those destroyed.
    std::vector<uintptr_t> creati;
    std::set<uintptr_t> vivi;
    std::vector<OfferteWayland::Offerta*> perId(1, nullptr);
    {
        OfferteWayland offerte([&](void* proxy) {
            const auto id = reinterpret_cast<uintptr_t>(proxy);
            if (!vivi.erase(id)) // destroyed twice, or never made
                __builtin_trap();
        });
        Lettore l{dati, n};
        while (!l.fine()) {
            const uint8_t op = l.byte();
            switch (op % 4) {
            case 0: { // data_offer
                const uintptr_t id = creati.size() + 1;
                creati.push_back(id);
                vivi.insert(id);
                perId.push_back(offerte.annunciata(reinterpret_cast<void*>(id)));
                break;
            }
            case 1: { // offer: a type for an offer still alive (the library drops events of others)
                const uintptr_t id = creati.empty() ? 0 : creati[l.byte() % creati.size()];
                const QByteArray tipo = l.testo();
                if (vivi.count(id))
                    OfferteWayland::tipo(perId[id], tipo.constData());
                break;
            }
            case 2: { // selection: none, or an offer; a destroyed one reaches us as none
                const uint8_t scelta = l.byte();
                const uintptr_t id = creati.empty() || scelta == 0 ? 0 : creati[scelta % creati.size()];
                const OfferteWayland::Offerta* prima = offerte.corrente();
                const void* proxyPrima = prima ? prima->proxy : nullptr;
                const QStringList tipiPrima = prima ? prima->tipi : QStringList();
                const bool cambiata = offerte.selezione(vivi.count(id) ? perId[id] : nullptr);
                const OfferteWayland::Offerta* ora = offerte.corrente();
                const void* proxyOra = ora ? ora->proxy : nullptr;
                if (cambiata != (proxyPrima != proxyOra))
                    __builtin_trap();
                if (!cambiata && ora && ora->tipi != tipiPrima)
                    __builtin_trap();
                break;
            }
            case 3: { // the text read from the selection
                const OfferteWayland::Offerta* o = offerte.corrente();
                const QByteArray byte = l.testo();
                if (!o)
                    break;
                if (!vivi.count(reinterpret_cast<uintptr_t>(o->proxy)) || !o->scelta)
                    __builtin_trap();
                const bool latin1 = o->tipi.contains(QStringLiteral("STRING"));
                if (!QByteArrayView(Pasteboard::testoUtf8(byte, latin1)).isValidUtf8())
                    __builtin_trap();
                break;
            }
            }
        }
    }
    // Gone with the device: every offer let go.
    if (!vivi.empty())
        __builtin_trap();
    return 0;
}
