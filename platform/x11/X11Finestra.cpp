#include "X11Finestra.h"

#include "X11Connessione.h"

#include <QGuiApplication>
#include <QScreen>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

xcb_connection_t* connessione()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t radice(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

} // namespace

namespace X11Finestra {

bool disponibile()
{
    return connessione() != nullptr;
}

bool xwayland()
{
    if (!disponibile())
        return false;
    const auto schermi = QGuiApplication::screens();
    return std::any_of(schermi.begin(), schermi.end(),
                       [](const QScreen* s) { return s->name().startsWith(QLatin1String("XWAYLAND")); });
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

void togliRegioneInput(QWindow* finestra)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return;
    xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, static_cast<xcb_window_t>(finestra->winId()), 0, 0,
                   XCB_NONE);
    xcb_flush(c);
}

void contenutoFermoSulloSchermo(QWindow* finestra)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return;
    const uint32_t gravita = XCB_GRAVITY_STATIC;
    xcb_change_window_attributes(c, static_cast<xcb_window_t>(finestra->winId()), XCB_CW_BIT_GRAVITY, &gravita);
    xcb_flush(c);
}

bool compositore()
{
    xcb_connection_t* c = connessione();
    if (!c)
        return false;
    const uint32_t gestore = X11Connessione::atomo(c, "_NET_WM_CM_S0");
    auto* r = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, gestore), nullptr);
    const bool presente = r && r->owner != XCB_NONE;
    std::free(r);
    return presente;
}

namespace {
const char* const kSfocatura = "_KDE_NET_WM_BLUR_BEHIND_REGION";
}

bool sfocaturaOfferta()
{
    xcb_connection_t* c = connessione();
    if (!c || !compositore())
        return false;
    const xcb_atom_t a = X11Connessione::atomo(c, kSfocatura);
    auto* r = xcb_list_properties_reply(c, xcb_list_properties(c, radice(c)), nullptr);
    bool offerta = false;
    if (r) {
        const xcb_atom_t* p = xcb_list_properties_atoms(r);
        for (int i = 0; i < xcb_list_properties_atoms_length(r); ++i)
            offerta = offerta || p[i] == a;
    }
    std::free(r);
    return offerta;
}

void impostaSfocatura(QWindow* finestra, const QRegion& regione)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return;
    const auto w = static_cast<xcb_window_t>(finestra->winId());
    const xcb_atom_t a = X11Connessione::atomo(c, kSfocatura);
    // The property present but empty would blur the whole window.
    if (regione.isEmpty()) {
        xcb_delete_property(c, w, a);
    } else {
        std::vector<uint32_t> valori;
        for (const QRect& r : regione)
            valori.insert(valori.end(), {uint32_t(r.x()), uint32_t(r.y()), uint32_t(r.width()), uint32_t(r.height())});
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, a, XCB_ATOM_CARDINAL, 32,
                            static_cast<uint32_t>(valori.size()), valori.data());
    }
    xcb_flush(c);
}

uint32_t finestraAttiva()
{
    xcb_connection_t* c = connessione();
    if (!c)
        return 0;
    const xcb_atom_t attiva = X11Connessione::atomo(c, "_NET_ACTIVE_WINDOW");
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, radice(c), attiva, XCB_ATOM_WINDOW, 0, 1), nullptr);
    uint32_t w = 0;
    if (r && r->format == 32 && xcb_get_property_value_length(r) >= 4)
        w = *static_cast<uint32_t*>(xcb_get_property_value(r));
    std::free(r);
    return w;
}

bool haFocus(QWindow* finestra)
{
    xcb_connection_t* c = connessione();
    if (!c || !finestra)
        return false;
    auto* r = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const bool nostra = r && r->focus == static_cast<xcb_window_t>(finestra->winId());
    std::free(r);
    return nostra;
}

void prendiTastiera(QWindow* finestra)
{
    if (!connessione() || !finestra)
        return;
    // Qt sets the input focus directly on a window that bypasses the manager.
    finestra->requestActivate();
}

void restituisciTastiera(QWindow* finestra, uint32_t precedente)
{
    xcb_connection_t* c = connessione();
    if (!c || !haFocus(finestra))
        return;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, precedente ? precedente : uint32_t(XCB_INPUT_FOCUS_POINTER_ROOT),
                        XCB_CURRENT_TIME);
    xcb_flush(c);
}

void sincronizza()
{
    if (xcb_connection_t* c = connessione())
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

} // namespace X11Finestra
