// Moves and clicks the pointer of a Wayland compositor the way a device
// would, for tests that drive native and XWayland windows alike:
//   halvora-puntatore-wl muovi X Y | premi | rilascia | clic | attendi MS ...
// Positions are in the compositor's global coordinates. It speaks wlroots'
// virtual pointer (sway) or KWin's fake input, whichever the compositor
// offers, and returns once the compositor has handled every step.
#include "fake-input-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t kTastoSinistro = 0x110; // BTN_LEFT

struct Uscita {
    wl_output* output = nullptr;
    int32_t x = 0, y = 0, larghezza = 0, altezza = 0;
};

struct Stato {
    zwlr_virtual_pointer_manager_v1* wlr = nullptr;
    org_kde_kwin_fake_input* kwin = nullptr;
    wl_seat* seat = nullptr;
    std::vector<Uscita*> uscite;
};

void geometria(void* dati, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*,
               int32_t)
{
    auto* u = static_cast<Uscita*>(dati);
    u->x = x;
    u->y = y;
}

void modo(void* dati, wl_output*, uint32_t flags, int32_t w, int32_t h, int32_t)
{
    auto* u = static_cast<Uscita*>(dati);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        u->larghezza = w;
        u->altezza = h;
    }
}

void niente(void*, wl_output*) {}
void scala(void*, wl_output*, int32_t) {}

const wl_output_listener kAscoltoUscita = {geometria, modo, niente, scala, nullptr, nullptr};

void globale(void* dati, wl_registry* registro, uint32_t nome, const char* interfaccia, uint32_t versione)
{
    auto* s = static_cast<Stato*>(dati);
    if (std::strcmp(interfaccia, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        s->wlr = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registro, nome, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interfaccia, org_kde_kwin_fake_input_interface.name) == 0 && versione >= 3) {
        s->kwin = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registro, nome, &org_kde_kwin_fake_input_interface, 3));
    } else if (std::strcmp(interfaccia, wl_seat_interface.name) == 0 && !s->seat) {
        s->seat = static_cast<wl_seat*>(wl_registry_bind(registro, nome, &wl_seat_interface, 1));
    } else if (std::strcmp(interfaccia, wl_output_interface.name) == 0) {
        auto* u = new Uscita;
        u->output = static_cast<wl_output*>(wl_registry_bind(registro, nome, &wl_output_interface, 2));
        wl_output_add_listener(u->output, &kAscoltoUscita, u);
        s->uscite.push_back(u);
    }
}

void rimosso(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kAscoltoRegistro = {globale, rimosso};

uint32_t adesso()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int uso()
{
    std::fputs("uso: halvora-puntatore-wl [muovi X Y | premi | rilascia | clic | attendi MS]...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("halvora-puntatore-wl: no Wayland display\n", stderr);
        return 1;
    }
    Stato s;
    wl_registry* registro = wl_display_get_registry(display);
    wl_registry_add_listener(registro, &kAscoltoRegistro, &s);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display); // the outputs' geometry and modes
    zwlr_virtual_pointer_v1* puntatore = nullptr;
    if (s.wlr) {
        puntatore = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(s.wlr, s.seat);
    } else if (s.kwin) {
        org_kde_kwin_fake_input_authenticate(s.kwin, "halvora-puntatore-wl", "tests");
    } else {
        std::fputs("halvora-puntatore-wl: the compositor offers no virtual pointer\n", stderr);
        return 1;
    }
    // Absolute moves span the whole layout of outputs.
    uint32_t estensioneX = 0, estensioneY = 0;
    for (const Uscita* u : s.uscite) {
        estensioneX = std::max<uint32_t>(estensioneX, u->x + u->larghezza);
        estensioneY = std::max<uint32_t>(estensioneY, u->y + u->altezza);
    }

    auto pulsante = [&](bool giu) {
        if (puntatore) {
            zwlr_virtual_pointer_v1_button(puntatore, adesso(), kTastoSinistro,
                                           giu ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(puntatore);
        } else {
            org_kde_kwin_fake_input_button(s.kwin, kTastoSinistro, giu ? 1 : 0);
        }
    };
    for (int i = 1; i < argc; ++i) {
        const std::string comando = argv[i];
        if (comando == "muovi" && i + 2 < argc) {
            const int x = std::atoi(argv[i + 1]), y = std::atoi(argv[i + 2]);
            i += 2;
            if (puntatore) {
                zwlr_virtual_pointer_v1_motion_absolute(puntatore, adesso(), x, y, estensioneX, estensioneY);
                zwlr_virtual_pointer_v1_frame(puntatore);
            } else {
                org_kde_kwin_fake_input_pointer_motion_absolute(s.kwin, wl_fixed_from_int(x), wl_fixed_from_int(y));
            }
        } else if (comando == "premi") {
            pulsante(true);
        } else if (comando == "rilascia") {
            pulsante(false);
        } else if (comando == "clic") {
            pulsante(true);
            wl_display_roundtrip(display);
            pulsante(false);
        } else if (comando == "attendi" && i + 1 < argc) {
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[++i])));
        } else {
            return uso();
        }
        wl_display_roundtrip(display);
    }
    if (puntatore)
        zwlr_virtual_pointer_v1_destroy(puntatore);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
