#pragma once

#include <QRegion>
#include <QWindow>
#include <cstdint>

// EWMH and shape requests on Qt's own X connection for a top-level window.
namespace X11Finestra {

// Whether the application runs on Qt's xcb platform.
bool disponibile();
// Whether that X server is XWayland, a client of a Wayland compositor: it
// names its outputs XWAYLAND0, XWAYLAND1 and so on.
bool xwayland();
// Only the region (window coordinates, device pixels) takes pointer input;
// an empty region lets every click through. Sent and flushed at once.
// (XWayland keeps it to itself: the compositor gives the whole window the
// pointer, whatever lies under its transparent parts.)
void impostaRegioneInput(QWindow* finestra, const QRegion& regione);
// The whole window takes pointer input again.
void togliRegioneInput(QWindow* finestra);
// What the window shows stays where it is on the screen when the window
// moves or changes size (static bit gravity), until it is drawn again.
void contenutoFermoSulloSchermo(QWindow* finestra);
// Whether a compositing manager runs on the default screen.
bool compositore();
// Whether the compositor announces that it blurs what lies behind a
// window's given region (`_KDE_NET_WM_BLUR_BEHIND_REGION` on the root).
bool sfocaturaOfferta();
// Asks for that blur behind exactly the region (window coordinates, device
// pixels); an empty region asks for none.
void impostaSfocatura(QWindow* finestra, const QRegion& regione);
// The window manager's active window (0 when none).
uint32_t finestraAttiva();
// Whether the X keyboard focus is on the window.
bool haFocus(QWindow* finestra);
// An override-redirect window takes the keyboard itself: no manager gives
// it. `precedente` gets it back (the pointer's window when 0), unless the
// focus has already moved elsewhere.
void prendiTastiera(QWindow* finestra);
void restituisciTastiera(QWindow* finestra, uint32_t precedente);
// Waits until the X server has handled every request sent so far (a
// reparenting, a map), so that another client acting next finds it done.
void sincronizza();

} // namespace X11Finestra
