#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <cstdint>

struct xcb_connection_t;

// The X server as the capture helper sees it, on a connection of its own:
// the pixels of the root window (every screen) and the frames of the
// managed windows over it.
class SchermoX11 {
public:
    // Connects to $DISPLAY; connesso() tells whether that worked.
    SchermoX11();
    ~SchermoX11();
    SchermoX11(const SchermoX11&) = delete;
    SchermoX11& operator=(const SchermoX11&) = delete;

    bool connesso() const { return conn_ != nullptr; }
    // The root window: the union of the screens, in device pixels.
    QRect radice() const;
    // The pixels of `area` of the root window as they are now; a null
    // image when the server refuses or its pixel format is not one we read.
    QImage cattura(const QRect& area) const;
    // The frames (decorations included) of the viewable managed windows,
    // top-most first, clipped to the root; the desktop, docks, hidden
    // windows and those of process `pidEscluso` are left out.
    QList<QRect> finestre(qint64 pidEscluso) const;

private:
    uint32_t atomo(const char* nome) const;
    QList<uint32_t> proprieta(uint32_t finestra, uint32_t nome, uint32_t tipo) const;
    // The ancestor of `finestra` that is a child of the root (the frame the
    // window manager put around it, or the window itself).
    uint32_t cornice(uint32_t finestra) const;

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint8_t profondita_ = 0;
    uint32_t visuale_ = 0;
};
