#include "X11Finestra.h"

#include <QGuiApplication>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_connection_t* connessione()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atomo(xcb_connection_t* c, const char* nome)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(nome)), nome), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

xcb_window_t radice(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

void messaggioAllaRadice(xcb_connection_t* c, xcb_window_t finestra, xcb_atom_t tipo, uint32_t d0, uint32_t d1,
                         uint32_t d2)
{
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = finestra;
    m.type = tipo;
    m.data.data32[0] = d0;
    m.data.data32[1] = d1;
    m.data.data32[2] = d2;
    m.data.data32[3] = 1; // source: an application
    xcb_send_event(c, 0, radice(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
}

} // namespace

namespace X11Finestra {

bool disponibile()
{
    return connessione() != nullptr;
}

void impostaRegioneInput(QWindow* finestra, const QRegion& regione)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return;
    std::vector<xcb_rectangle_t> rettangoli;
    for (const QRect& r : regione)
        rettangoli.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                              static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                         static_cast<xcb_window_t>(finestra->winId()), 0, 0,
                         static_cast<uint32_t>(rettangoli.size()), rettangoli.data());
    xcb_flush(c);
}

void fissaSopraOvunque(QWindow* finestra)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return;
    const auto w = static_cast<xcb_window_t>(finestra->winId());
    const xcb_atom_t stato = atomo(c, "_NET_WM_STATE");
    constexpr uint32_t kAggiungi = 1;
    messaggioAllaRadice(c, w, stato, kAggiungi, atomo(c, "_NET_WM_STATE_ABOVE"), atomo(c, "_NET_WM_STATE_STICKY"));
    messaggioAllaRadice(c, w, stato, kAggiungi, atomo(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                        atomo(c, "_NET_WM_STATE_SKIP_PAGER"));
    messaggioAllaRadice(c, w, atomo(c, "_NET_WM_DESKTOP"), 0xFFFFFFFF, 0, 0);
    xcb_flush(c);
}

} // namespace X11Finestra
