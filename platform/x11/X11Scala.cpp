#include "X11Scala.h"

#include "X11Connessione.h"
#include "DesktopKWin.h"
#include "SessioneDesktop.h"
#include "X11Desktop.h"

#include <QByteArray>
#include <QList>
#include <xcb/xcb.h>

#include <algorithm>

std::optional<X11Scala::Desktop> X11Scala::leggi()
{
    X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return std::nullopt;
    Desktop d;
    bool trovato = false;
    const auto risorse = X11Connessione::valoreByte(X11Connessione::proprieta(
        x.conn, x.root, X11Connessione::atomo(x.conn, "RESOURCE_MANAGER"), XCB_ATOM_STRING, 1 << 16));
    for (const QByteArray& riga : risorse.split('\n')) {
        const int duepunti = riga.indexOf(':');
        if (duepunti > 0 && riga.left(duepunti).trimmed() == "Xft.dpi") {
            const double dpi = riga.mid(duepunti + 1).trimmed().toDouble();
            trovato = dpi > 0;
            if (trovato)
                d.scala = d.scalaDiQt = dpi / 96;
        }
    }
    // KWin sizes XWayland's screen in pixels where X11 programs are to scale
    // themselves; a Plasma session also sets Xft.dpi, a bare KWin does not.
    if (!trovato && SessioneDesktop::tipo() == SessioneDesktop::Tipo::kde)
        d.scala = DesktopKWin::scalaXwayland();
    for (const QRect& a : X11Desktop::leggiAreeDiLavoro(x.conn, x.root))
        d.altezzaUtile = d.altezzaUtile > 0 ? std::min(d.altezzaUtile, double(a.height())) : a.height();
    if (d.altezzaUtile <= 0) {
        auto it = xcb_setup_roots_iterator(xcb_get_setup(x.conn));
        for (; it.rem; xcb_screen_next(&it))
            if (it.data->root == x.root)
                d.altezzaUtile = it.data->height_in_pixels;
    }
    xcb_disconnect(x.conn);
    return d;
}

double X11Scala::fattore(const Desktop& desktop, double altezzaNecessaria)
{
    // Qt draws the panel's pictures wrongly below one pixel a point: a scale
    // is lowered no further than that.
    if (desktop.altezzaUtile <= 0 || altezzaNecessaria <= 0)
        return desktop.scala;
    return std::min(desktop.scala, std::max(1.0, desktop.altezzaUtile / altezzaNecessaria));
}
