// A native Wayland window for tests: it fills the screen (maximized) in one
// colour and prints "clic X Y" on standard output for every press of a
// button on it, in its own coordinates, and "tasto K M" for every key
// pressed while it has the keyboard (K the Linux key code, M the modifiers
// held, 4 Control and 8 Alt in every keymap the tests' tools send), after
// "pronta" once it is shown.
//   halvora-finestra-wl [--app-id ID] [--schermo-intero]
// names it as another application would (a password manager's id, say) or
// makes it full screen instead.
// A terminal would do as well where its mouse reporting works, but foot
// 1.13 dies of a division by zero on KWin's virtual output and
// weston-terminal reports no mouse.
#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Stato {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wm = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    uint32_t modificatori = 0;
    wl_surface* surface = nullptr;
    wl_buffer* buffer = nullptr;
    int larghezza = 0, altezza = 0;
    double x = 0, y = 0;
    bool mostrata = false;
};

void globale(void* dati, wl_registry* r, uint32_t nome, const char* interfaccia, uint32_t)
{
    auto* s = static_cast<Stato*>(dati);
    if (std::strcmp(interfaccia, wl_compositor_interface.name) == 0)
        s->compositor = static_cast<wl_compositor*>(wl_registry_bind(r, nome, &wl_compositor_interface, 4));
    else if (std::strcmp(interfaccia, wl_shm_interface.name) == 0)
        s->shm = static_cast<wl_shm*>(wl_registry_bind(r, nome, &wl_shm_interface, 1));
    else if (std::strcmp(interfaccia, xdg_wm_base_interface.name) == 0)
        s->wm = static_cast<xdg_wm_base*>(wl_registry_bind(r, nome, &xdg_wm_base_interface, 1));
    else if (std::strcmp(interfaccia, wl_seat_interface.name) == 0 && !s->seat)
        s->seat = static_cast<wl_seat*>(wl_registry_bind(r, nome, &wl_seat_interface, 5));
}
void rimosso(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistro = {globale, rimosso};

void ping(void*, xdg_wm_base* wm, uint32_t serial)
{
    xdg_wm_base_pong(wm, serial);
}
const xdg_wm_base_listener kWm = {ping};

// A buffer of the size the compositor asked for, in one colour.
void disegna(Stato& s)
{
    const int passo = s.larghezza * 4, dimensione = passo * s.altezza;
    const int fd = memfd_create("halvora-finestra-wl", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, dimensione) != 0)
        return;
    auto* pixel = static_cast<uint32_t*>(mmap(nullptr, dimensione, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    for (int i = 0; i < s.larghezza * s.altezza; ++i)
        pixel[i] = 0xff3366cc;
    munmap(pixel, dimensione);
    wl_shm_pool* pool = wl_shm_create_pool(s.shm, fd, dimensione);
    if (s.buffer)
        wl_buffer_destroy(s.buffer);
    s.buffer = wl_shm_pool_create_buffer(pool, 0, s.larghezza, s.altezza, passo, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(s.surface, s.buffer, 0, 0);
    wl_surface_damage(s.surface, 0, 0, s.larghezza, s.altezza);
}

void configuraSuperficie(void* dati, xdg_surface* superficie, uint32_t serial)
{
    auto* s = static_cast<Stato*>(dati);
    xdg_surface_ack_configure(superficie, serial);
    if (s->larghezza <= 0 || s->altezza <= 0) {
        // The compositor leaves the size to us until it maximizes.
        s->larghezza = 640;
        s->altezza = 480;
    }
    disegna(*s);
    wl_surface_commit(s->surface);
}
const xdg_surface_listener kSuperficie = {configuraSuperficie};

void configuraToplevel(void* dati, xdg_toplevel*, int32_t w, int32_t h, wl_array*)
{
    auto* s = static_cast<Stato*>(dati);
    if (w > 0 && h > 0) {
        s->larghezza = w;
        s->altezza = h;
    }
}
void chiudi(void*, xdg_toplevel*) {}
const xdg_toplevel_listener kToplevel = {configuraToplevel, chiudi, nullptr, nullptr};

void entra(void* dati, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y)
{
    auto* s = static_cast<Stato*>(dati);
    s->x = wl_fixed_to_double(x);
    s->y = wl_fixed_to_double(y);
}
void esce(void*, wl_pointer*, uint32_t, wl_surface*) {}
void moto(void* dati, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    entra(dati, nullptr, 0, nullptr, x, y);
}
void pulsante(void* dati, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t stato)
{
    auto* s = static_cast<Stato*>(dati);
    if (stato == WL_POINTER_BUTTON_STATE_PRESSED) {
        std::printf("clic %d %d\n", int(s->x), int(s->y));
        std::fflush(stdout);
    }
}
void asse(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void fotogramma(void*, wl_pointer*) {}
void sorgente(void*, wl_pointer*, uint32_t) {}
void ferma(void*, wl_pointer*, uint32_t, uint32_t) {}
void discreto(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPuntatore = {entra, esce, moto, pulsante, asse, fotogramma, sorgente, ferma, discreto, nullptr};

void mappa(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t)
{
    close(fd);
}
void entraTastiera(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void esceTastiera(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void tasto(void* dati, wl_keyboard*, uint32_t, uint32_t, uint32_t codice, uint32_t stato)
{
    auto* s = static_cast<Stato*>(dati);
    if (stato == WL_KEYBOARD_KEY_STATE_PRESSED) {
        std::printf("tasto %u %u\n", codice, s->modificatori);
        std::fflush(stdout);
    }
}
void modificatori(void* dati, wl_keyboard*, uint32_t, uint32_t premuti, uint32_t, uint32_t, uint32_t)
{
    static_cast<Stato*>(dati)->modificatori = premuti;
}
void ripetizione(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kTastiera = {mappa, entraTastiera, esceTastiera, tasto, modificatori, ripetizione};

void capacita(void* dati, wl_seat* seat, uint32_t cap)
{
    auto* s = static_cast<Stato*>(dati);
    if ((cap & WL_SEAT_CAPABILITY_POINTER) && !s->pointer) {
        s->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(s->pointer, &kPuntatore, s);
    }
    // A virtual keyboard comes and goes with the tool that types.
    if ((cap & WL_SEAT_CAPABILITY_KEYBOARD) && !s->keyboard) {
        s->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(s->keyboard, &kTastiera, s);
    } else if (!(cap & WL_SEAT_CAPABILITY_KEYBOARD) && s->keyboard) {
        wl_keyboard_release(s->keyboard);
        s->keyboard = nullptr;
    }
}
void nomeSeat(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeat = {capacita, nomeSeat};

} // namespace

int main(int argc, char* argv[])
{
    const char* appId = "halvora-finestra-wl";
    bool schermoIntero = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--app-id") == 0 && i + 1 < argc)
            appId = argv[++i];
        else if (std::strcmp(argv[i], "--schermo-intero") == 0)
            schermoIntero = true;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("halvora-finestra-wl: no Wayland display\n", stderr);
        return 1;
    }
    Stato s;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistro, &s);
    wl_display_roundtrip(display);
    if (!s.compositor || !s.shm || !s.wm) {
        std::fputs("halvora-finestra-wl: the compositor lacks what a window needs\n", stderr);
        return 1;
    }
    xdg_wm_base_add_listener(s.wm, &kWm, &s);
    if (s.seat) // a compositor without input devices has none
        wl_seat_add_listener(s.seat, &kSeat, &s);
    s.surface = wl_compositor_create_surface(s.compositor);
    xdg_surface* superficie = xdg_wm_base_get_xdg_surface(s.wm, s.surface);
    xdg_surface_add_listener(superficie, &kSuperficie, &s);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(superficie);
    xdg_toplevel_add_listener(toplevel, &kToplevel, &s);
    xdg_toplevel_set_title(toplevel, "halvora-finestra-wl");
    xdg_toplevel_set_app_id(toplevel, appId);
    if (schermoIntero)
        xdg_toplevel_set_fullscreen(toplevel, nullptr);
    else
        xdg_toplevel_set_maximized(toplevel);
    wl_surface_commit(s.surface);
    while (wl_display_dispatch(display) != -1) {
        if (!s.mostrata && s.buffer) {
            s.mostrata = true;
            wl_display_roundtrip(display);
            std::puts("pronta");
            std::fflush(stdout);
        }
    }
    return 0;
}
