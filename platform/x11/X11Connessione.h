#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

struct xcb_connection_t;
class QSocketNotifier;

// A reply or error that xcb hands over, freed as xcb asks: with free().
struct X11Libera {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using X11Risposta = std::unique_ptr<T, X11Libera>;

// A connection of its own to $DISPLAY and the root window of its screen.
struct X11Connessione {
    xcb_connection_t* conn = nullptr; // null without a display
    uint32_t root = 0;

    // Connects; leaves `conn` null when there is no display or it fails.
    static X11Connessione apri();
    // After reading events: when the server went away, stops listening and
    // drops the connection (null from then on, so callers answer "nothing").
    static bool lasciaSeCaduta(xcb_connection_t*& conn, QSocketNotifier* ascolto);
};
