#include "X11Connessione.h"

#include <QSocketNotifier>
#include <QtGlobal>
#include <xcb/xcb.h>

X11Connessione X11Connessione::apri()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return {};
    int schermo = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &schermo);
    if (!c || xcb_connection_has_error(c)) {
        if (c)
            xcb_disconnect(c);
        return {};
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < schermo && it.rem; ++i)
        xcb_screen_next(&it);
    return {c, it.data->root};
}

bool X11Connessione::lasciaSeCaduta(xcb_connection_t*& conn, QSocketNotifier* ascolto)
{
    if (!conn || !xcb_connection_has_error(conn))
        return false;
    ascolto->setEnabled(false);
    xcb_disconnect(conn);
    conn = nullptr;
    return true;
}
