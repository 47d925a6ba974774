#include "X11Connessione.h"

#include <QSocketNotifier>
#include <QtGlobal>
#include <xcb/xcb.h>

#include <cstring>

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

uint32_t X11Connessione::atomo(xcb_connection_t* conn, const char* nome)
{
    auto cookie = xcb_intern_atom(conn, 0, static_cast<uint16_t>(std::strlen(nome)), nome);
    X11Risposta<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(conn, cookie, nullptr));
    return r ? r->atom : 0;
}

X11Risposta<xcb_get_property_reply_t> X11Connessione::proprieta(xcb_connection_t* conn, uint32_t finestra,
                                                                uint32_t prop, uint32_t tipo, uint32_t lunghezza)
{
    auto cookie = xcb_get_property(conn, 0, finestra, prop, tipo, 0, lunghezza);
    return X11Risposta<xcb_get_property_reply_t>(xcb_get_property_reply(conn, cookie, nullptr));
}

uint32_t X11Connessione::primoValore(const X11Risposta<xcb_get_property_reply_t>& r)
{
    if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
}

QByteArray X11Connessione::valoreByte(const X11Risposta<xcb_get_property_reply_t>& r)
{
    if (!r || r->format != 8)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                      xcb_get_property_value_length(r.get()));
}
