#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <cstdint>

struct xcb_connection_t;

// The X server as the capture helper sees it, on a connection of its own:
// the pixels of the root window (every screen), the frames of the managed
// windows over it, and a frame's own pixels where a compositor keeps them.
class SchermoX11 {
public:
    struct Cornice {
        uint32_t finestra = 0; // the child of the root that holds the window
        QRect rettangolo;
    };

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
    QList<Cornice> finestre(qint64 pidEscluso) const;
    // A frame's own pixels as they are now, whatever covers it, with the
    // transparency of a window that has some; a null image where no
    // compositor keeps them off screen (XComposite), or the frame is gone.
    QImage catturaFinestra(uint32_t cornice) const;

private:
    // The pixels of `area` of a drawable of that depth and visual.
    QImage leggi(uint32_t disegnabile, const QRect& area, uint8_t profondita, uint32_t idVisuale) const;
    uint32_t atomo(const char* nome) const;
    QList<uint32_t> proprieta(uint32_t finestra, uint32_t nome, uint32_t tipo) const;
    // The ancestor of `finestra` that is a child of the root (the frame the
    // window manager put around it, or the window itself).
    uint32_t cornice(uint32_t finestra) const;

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint8_t profondita_ = 0;
    uint32_t visuale_ = 0;
    bool composite_ = false; // the server names a redirected window's pixmap
};
