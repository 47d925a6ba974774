#pragma once

#include <optional>

// The scale the desktop asks of X11 programs, read before the toolkit
// starts (Qt takes its scale factor from the environment once, at start).
namespace X11Scala {

struct Desktop {
    // Xft.dpi of the X resources over 96, as GNOME's settings daemon, KDE
    // and xrdb set it; without one, in a KDE Wayland session, the scale
    // KWin gives XWayland's screen; 1 otherwise.
    double scala = 1;
    // What of it Qt takes by itself: Xft.dpi over 96, else 1.
    double scalaDiQt = 1;
    // The height, in the X server's pixels, that the lowest screen's work
    // area leaves below its top panel; 0 when unknown.
    double altezzaUtile = 0;
};

// Reads $DISPLAY's; nothing without a display.
std::optional<Desktop> leggi();

// The scale to draw at: the desktop's, unless a panel `altezzaNecessaria`
// high (in points) would not fit the work area at it, where it is lowered
// to fit, but not below one pixel a point.
double fattore(const Desktop& desktop, double altezzaNecessaria);

} // namespace X11Scala
