// Moves and clicks the pointer of a Wayland compositor the way a device
// would, for tests that drive native and XWayland windows alike:
//   halvora-puntatore-wl muovi X Y | premi | rilascia | clic | attendi MS
//                        | tasti CODICE[+CODICE...] ...
// Positions are in the compositor's global coordinates; `tasti` presses
// Linux key codes together, in order, and lets them go in reverse (KWin
// only: on sway, wtype types). It speaks wlroots' virtual pointer (sway) or
// KWin's fake input, whichever the compositor offers, and returns once the
// compositor has handled every step.
//   halvora-puntatore-wl -
// takes the same steps from standard input, a line at a time.
//   halvora-puntatore-wl tieni
// holds a pointer until the compositor goes, printing a line once it has
// one, so that the seat never loses its pointer when a short-lived one
// goes (scripts/sessione-wayland.sh says why).
#include "fake-input-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>
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
            wl_registry_bind(registro, nome, &org_kde_kwin_fake_input_interface, std::min(versione, 4u)));
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

// Everything asked of the compositor, given back before the connection ends.
void lascia(Stato& s, wl_registry* registro)
{
    for (Uscita* u : s.uscite) {
        wl_output_destroy(u->output);
        delete u;
    }
    s.uscite.clear();
    if (s.wlr)
        zwlr_virtual_pointer_manager_v1_destroy(s.wlr);
    if (s.kwin)
        org_kde_kwin_fake_input_destroy(s.kwin);
    wl_registry_destroy(registro);
}

int uso()
{
    std::fputs("uso: halvora-puntatore-wl [muovi X Y | premi | rilascia | clic | attendi MS | tasti C+C...]... | - | tieni\n",
               stderr);
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
        // No seat named: sway's own default.
        puntatore = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(s.wlr, nullptr);
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
    if (argc == 2 && std::string(argv[1]) == "tieni") {
        wl_display_roundtrip(display);
        std::puts("pronto");
        std::fflush(stdout);
        while (wl_display_dispatch(display) != -1) {
        }
        lascia(s, registro);
        wl_display_disconnect(display);
        return 0;
    }
    // One step and its arguments from `parole` at `i`; false for a step it does not know.
    auto passo = [&](const std::vector<std::string>& parole, size_t& i) {
        const std::string& comando = parole[i];
        if (comando == "muovi" && i + 2 < parole.size()) {
            const int x = std::stoi(parole[i + 1]), y = std::stoi(parole[i + 2]);
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
        } else if (comando == "tasti" && i + 1 < parole.size() && s.kwin
                   && wl_proxy_get_version(reinterpret_cast<wl_proxy*>(s.kwin)) >= 4) {
            std::vector<uint32_t> codici;
            std::istringstream elenco(parole[++i]);
            for (std::string c; std::getline(elenco, c, '+');)
                codici.push_back(static_cast<uint32_t>(std::stoul(c)));
            for (uint32_t c : codici)
                org_kde_kwin_fake_input_keyboard_key(s.kwin, c, 1);
            wl_display_roundtrip(display);
            for (auto c = codici.rbegin(); c != codici.rend(); ++c)
                org_kde_kwin_fake_input_keyboard_key(s.kwin, *c, 0);
        } else if (comando == "attendi" && i + 1 < parole.size()) {
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(parole[++i])));
        } else {
            return false;
        }
        wl_display_roundtrip(display);
        return true;
    };
    if (argc == 2 && std::string(argv[1]) == "-") {
        // Steps from standard input, a line at a time, each answered "ok"
        // once the compositor has handled it: no start-up between them.
        std::string riga;
        while (std::getline(std::cin, riga)) {
            std::istringstream flusso(riga);
            std::vector<std::string> parole{std::istream_iterator<std::string>(flusso), {}};
            for (size_t i = 0; i < parole.size(); ++i)
                if (!passo(parole, i))
                    return uso();
            std::puts("ok");
            std::fflush(stdout);
        }
    } else {
        const std::vector<std::string> parole(argv + 1, argv + argc);
        for (size_t i = 0; i < parole.size(); ++i)
            if (!passo(parole, i))
                return uso();
    }
    if (puntatore)
        zwlr_virtual_pointer_v1_destroy(puntatore);
    lascia(s, registro);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
