#pragma once

#include <cstdint>

struct xcb_connection_t;

// A connection of its own to $DISPLAY and the root window of its screen.
struct X11Connessione {
    xcb_connection_t* conn = nullptr; // null without a display
    uint32_t root = 0;

    // Connects; leaves `conn` null when there is no display or it fails.
    static X11Connessione apri();
};
