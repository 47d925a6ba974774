#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <memory>

struct xcb_connection_t;
struct xcb_get_property_reply_t;
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

    // The atom named `nome`; 0 when the server does not answer.
    static uint32_t atomo(xcb_connection_t* conn, const char* nome);
    // Up to `lunghezza` 32-bit units of a window's property of type `tipo`.
    static X11Risposta<xcb_get_property_reply_t> proprieta(xcb_connection_t* conn, uint32_t finestra, uint32_t prop,
                                                           uint32_t tipo, uint32_t lunghezza);
    // A 32-bit property's first value; 0 when there is none.
    static uint32_t primoValore(const X11Risposta<xcb_get_property_reply_t>& r);
    // An 8-bit property's bytes; empty for any other format.
    static QByteArray valoreByte(const X11Risposta<xcb_get_property_reply_t>& r);
};
