#pragma once

#include <QRegion>
#include <QWindow>

// EWMH and shape requests on Qt's own X connection for a top-level window.
namespace X11Finestra {

// Whether the application runs on Qt's xcb platform.
bool disponibile();
// Only the region (window coordinates, device pixels) takes pointer input;
// an empty region lets every click through. Sent and flushed at once.
void impostaRegioneInput(QWindow* finestra, const QRegion& regione);
// On every desktop, above other windows, out of taskbars and pagers. Call
// once the window is mapped: the window manager owns its state from then on.
void fissaSopraOvunque(QWindow* finestra);

} // namespace X11Finestra
