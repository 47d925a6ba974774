#include "X11SempreSopra.h"

#include "X11Connessione.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

X11SempreSopra::X11SempreSopra(QWindow& finestra, QObject* parent) : QObject(parent), finestra_(finestra)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return;
    const xcb_setup_t* setup = xcb_get_setup(x11->connection());
    baseQt_ = setup->resource_id_base;
    mascheraQt_ = setup->resource_id_mask;
    const X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return;
    conn_ = x.conn;
    root_ = x.root;
    // Every map and restack of a top-level window, the managers' frames included.
    const uint32_t maschera = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &maschera);
    xcb_flush(conn_);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11SempreSopra::leggiEventi);
}

X11SempreSopra::~X11SempreSopra()
{
    if (conn_)
        xcb_disconnect(conn_);
}

void X11SempreSopra::setAttivo(bool attivo)
{
    attivo_ = attivo;
    if (attivo_)
        programma();
}

bool X11SempreSopra::propria(uint32_t finestra) const
{
    return (finestra & ~mascheraQt_) == baseQt_;
}

void X11SempreSopra::leggiEventi()
{
    bool rilevante = false;
    while (xcb_generic_event_t* e = conn_ ? xcb_poll_for_event(conn_) : nullptr) {
        switch (e->response_type & 0x7f) {
        case XCB_CONFIGURE_NOTIFY:
        case XCB_MAP_NOTIFY:
        case XCB_CIRCULATE_NOTIFY:
        case XCB_REPARENT_NOTIFY:
            rilevante = true;
            break;
        default:
            break;
        }
        std::free(e);
    }
    if (X11Connessione::lasciaSeCaduta(conn_, notifier_))
        return;
    if (rilevante)
        programma();
}

void X11SempreSopra::programma()
{
    // A burst of events (a window dragged, a manager restacking several
    // frames) needs one look at the stack.
    if (programmato_ || !conn_)
        return;
    programmato_ = true;
    QTimer::singleShot(0, this, [this] {
        programmato_ = false;
        controlla();
    });
}

bool X11SempreSopra::controlla()
{
    if (!conn_ || !attivo_ || !finestra_.isVisible())
        return false;
    const auto nostra = static_cast<uint32_t>(finestra_.winId());
    X11Risposta<xcb_query_tree_reply_t> albero(xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr));
    // Replies may pull events into the queue, where the notifier never sees them.
    QTimer::singleShot(0, this, &X11SempreSopra::leggiEventi);
    if (!albero)
        return false;
    const xcb_window_t* figli = xcb_query_tree_children(albero.get());
    const int n = xcb_query_tree_children_length(albero.get());
    int indice = -1;
    for (int i = 0; i < n; ++i)
        if (figli[i] == nostra)
            indice = i;
    if (indice < 0)
        return false;
    // The children come bottom to top: ask about all those above at once.
    std::vector<std::pair<xcb_window_t, xcb_get_window_attributes_cookie_t>> sopra;
    for (int i = indice + 1; i < n; ++i)
        if (!propria(figli[i]))
            sopra.emplace_back(figli[i], xcb_get_window_attributes(conn_, figli[i]));
    xcb_window_t piuAlta = 0;
    for (const auto& [w, cookie] : sopra) {
        X11Risposta<xcb_get_window_attributes_reply_t> a(xcb_get_window_attributes_reply(conn_, cookie, nullptr));
        if (a && a->map_state == XCB_MAP_STATE_VIEWABLE && !a->override_redirect)
            piuAlta = w;
    }
    if (!piuAlta)
        return false;
    const uint32_t valori[] = {piuAlta, XCB_STACK_MODE_ABOVE};
    xcb_configure_window(conn_, nostra, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, valori);
    xcb_flush(conn_);
    emit rialzata();
    return true;
}
