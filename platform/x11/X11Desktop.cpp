#include "X11Desktop.h"

#include "X11Connessione.h"

#include <QSocketNotifier>
#include <QTimer>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <cstdlib>

X11Desktop::X11Desktop(QObject* parent) : StatoDesktop(parent)
{
    const X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return;
    conn_ = x.conn;
    root_ = x.root;
    aActive_ = X11Connessione::atomo(conn_, "_NET_ACTIVE_WINDOW");
    aDesktop_ = X11Connessione::atomo(conn_, "_NET_CURRENT_DESKTOP");
    aState_ = X11Connessione::atomo(conn_, "_NET_WM_STATE");
    aFullscreen_ = X11Connessione::atomo(conn_, "_NET_WM_STATE_FULLSCREEN");
    aPid_ = X11Connessione::atomo(conn_, "_NET_WM_PID");
    aPila_ = X11Connessione::atomo(conn_, "_NET_CLIENT_LIST_STACKING");
    aDesktopFinestra_ = X11Connessione::atomo(conn_, "_NET_WM_DESKTOP");
    aNascosta_ = X11Connessione::atomo(conn_, "_NET_WM_STATE_HIDDEN");
    aAreaLavoro_ = X11Connessione::atomo(conn_, "_NET_WORKAREA");
    const uint32_t maschera = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &maschera);
    xcb_flush(conn_);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11Desktop::leggiEventi);
    seguiFinestraAttiva();
}

X11Desktop::~X11Desktop()
{
    if (conn_)
        xcb_disconnect(conn_);
}

X11Desktop& X11Desktop::shared()
{
    static X11Desktop* istanza = new X11Desktop; // lives as long as the process
    return *istanza;
}

uint32_t X11Desktop::finestraAttiva() const
{
    if (!conn_)
        return 0;
    auto r = X11Connessione::proprieta(conn_, root_, aActive_, XCB_ATOM_WINDOW, 1);
    leggiEventiInCoda();
    return X11Connessione::primoValore(r);
}

int X11Desktop::desktopCorrente() const
{
    if (!conn_)
        return -1;
    auto r = X11Connessione::proprieta(conn_, root_, aDesktop_, XCB_ATOM_CARDINAL, 1);
    leggiEventiInCoda();
    if (!r || xcb_get_property_value_length(r.get()) < 4)
        return -1;
    return static_cast<int>(X11Connessione::primoValore(r));
}

qint64 X11Desktop::pid(uint32_t finestra) const
{
    if (!conn_ || !finestra)
        return 0;
    auto r = X11Connessione::proprieta(conn_, finestra, aPid_, XCB_ATOM_CARDINAL, 1);
    leggiEventiInCoda();
    return X11Connessione::primoValore(r);
}

std::pair<QString, QString> X11Desktop::classe(uint32_t finestra) const
{
    if (!conn_ || !finestra)
        return {};
    auto r = X11Connessione::proprieta(conn_, finestra, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256);
    leggiEventiInCoda();
    const QList<QByteArray> parti = X11Connessione::valoreByte(r).split('\0');
    return {QString::fromLocal8Bit(parti.value(0)), QString::fromLocal8Bit(parti.value(1))};
}

namespace {

QList<uint32_t> valori(const X11Risposta<xcb_get_property_reply_t>& r)
{
    QList<uint32_t> v;
    if (!r || r->format != 32)
        return v;
    const auto* p = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    v = QList<uint32_t>(p, p + xcb_get_property_value_length(r.get()) / 4);
    return v;
}

QList<QRect> rettangoli(const QList<uint32_t>& v, qsizetype quanti)
{
    QList<QRect> lista;
    for (qsizetype i = 0; i + 3 < v.size() && lista.size() < quanti; i += 4)
        lista << QRect(int(v[i]), int(v[i + 1]), int(v[i + 2]), int(v[i + 3]));
    return lista;
}

} // namespace

bool X11Desktop::schermoIntero(uint32_t finestra) const
{
    if (!conn_ || !finestra)
        return false;
    const auto stato = valori(X11Connessione::proprieta(conn_, finestra, aState_, XCB_ATOM_ATOM, 64));
    leggiEventiInCoda();
    return stato.contains(aFullscreen_);
}

QList<QRect> X11Desktop::schermiInteri() const
{
    if (!conn_)
        return {};
    // From the top of the stack down: a full-screen window counts when no
    // window above it on the current desktop lies over its middle.
    auto pila = valori(X11Connessione::proprieta(conn_, root_, aPila_, XCB_ATOM_WINDOW, 4096));
    // A manager that publishes no stacking (xfwm4 4.18) is taken to keep the
    // active window in front.
    if (pila.isEmpty())
        if (const uint32_t attiva = finestraAttiva())
            pila = {attiva};
    const int corrente = desktopCorrente();
    QList<QRect> sopra, interi;
    for (auto it = pila.crbegin(); it != pila.crend(); ++it) {
        const uint32_t f = *it;
        const auto desktop = valori(X11Connessione::proprieta(conn_, f, aDesktopFinestra_, XCB_ATOM_CARDINAL, 1));
        if (corrente >= 0 && !desktop.isEmpty() && desktop.first() != 0xFFFFFFFF && int(desktop.first()) != corrente)
            continue;
        const auto stato = valori(X11Connessione::proprieta(conn_, f, aState_, XCB_ATOM_ATOM, 64));
        if (stato.contains(aNascosta_))
            continue;
        X11Risposta<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, f), nullptr));
        X11Risposta<xcb_translate_coordinates_reply_t> t(
            xcb_translate_coordinates_reply(conn_, xcb_translate_coordinates(conn_, f, root_, 0, 0), nullptr));
        if (!g || !t)
            continue;
        const QRect r(t->dst_x, t->dst_y, g->width, g->height);
        if (stato.contains(aFullscreen_)
            && std::none_of(sopra.cbegin(), sopra.cend(), [&](const QRect& s) { return s.contains(r.center()); }))
            interi << r;
        sopra << r;
    }
    leggiEventiInCoda();
    return interi;
}

QList<QRect> X11Desktop::areeDiLavoro() const
{
    if (!conn_)
        return {};
    const auto aree = leggiAreeDiLavoro(conn_, root_);
    leggiEventiInCoda();
    return aree;
}

QList<QRect> X11Desktop::leggiAreeDiLavoro(xcb_connection_t* conn, uint32_t root)
{
    auto proprieta = [&](const char* nome, uint32_t tipo, uint32_t lunghezza) {
        return valori(X11Connessione::proprieta(conn, root, X11Connessione::atomo(conn, nome), tipo, lunghezza));
    };
    const auto desktop = proprieta("_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL, 1);
    const int corrente = desktop.isEmpty() ? 0 : int(desktop.first());
    const QByteArray gtk = "_GTK_WORKAREAS_D" + QByteArray::number(corrente);
    QList<QRect> aree = rettangoli(proprieta(gtk.constData(), XCB_ATOM_CARDINAL, 256), 64);
    if (aree.isEmpty()) {
        const auto tutte = rettangoli(proprieta("_NET_WORKAREA", XCB_ATOM_CARDINAL, 1024), 64);
        if (corrente < tutte.size())
            aree = {tutte[corrente]};
    }
    return aree;
}

bool X11Desktop::atomoAreeGtk(uint32_t atomo)
{
    // Root properties change often; each atom's name is asked once.
    auto it = areeGtk_.constFind(atomo);
    if (it != areeGtk_.cend())
        return *it;
    X11Risposta<xcb_get_atom_name_reply_t> r(xcb_get_atom_name_reply(conn_, xcb_get_atom_name(conn_, atomo), nullptr));
    const bool si = r
                    && QByteArray(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get()))
                           .startsWith("_GTK_WORKAREAS_D");
    areeGtk_.insert(atomo, si);
    return si;
}

void X11Desktop::seguiFinestraAttiva()
{
    const uint32_t nuova = finestraAttiva();
    if (nuova == seguita_)
        return;
    // Only the active window's state is of interest; stop listening to the old one.
    const uint32_t nessuna = XCB_EVENT_MASK_NO_EVENT;
    const uint32_t proprieta = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (seguita_)
        xcb_change_window_attributes(conn_, seguita_, XCB_CW_EVENT_MASK, &nessuna);
    seguita_ = nuova;
    if (seguita_)
        xcb_change_window_attributes(conn_, seguita_, XCB_CW_EVENT_MASK, &proprieta);
    xcb_flush(conn_);
}

void X11Desktop::leggiEventiInCoda() const
{
    if (letturaInCoda_)
        return;
    letturaInCoda_ = true;
    QTimer::singleShot(0, const_cast<X11Desktop*>(this), &X11Desktop::leggiEventi);
}

void X11Desktop::leggiEventi()
{
    letturaInCoda_ = false;
    if (!conn_)
        return;
    bool attiva = false, desktop = false, stato = false, pila = false, aree = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            if (p->window == root_ && p->atom == aActive_)
                attiva = true;
            else if (p->window == root_ && p->atom == aDesktop_)
                desktop = true;
            else if (p->window == root_ && p->atom == aPila_)
                pila = true;
            else if (p->window == root_ && (p->atom == aAreaLavoro_ || atomoAreeGtk(p->atom)))
                aree = true;
            else if (p->window == seguita_ && p->atom == aState_)
                stato = true;
        }
        std::free(e);
    }
    if (X11Connessione::lasciaSeCaduta(conn_, notifier_))
        return;
    if (attiva) {
        seguiFinestraAttiva();
        emit finestraAttivaCambiata();
    }
    if (desktop)
        emit desktopCambiato();
    if (stato)
        emit statoFinestraAttivaCambiato();
    if (attiva || desktop || stato || pila)
        emit schermoInteroCambiato();
    if (aree || desktop)
        emit areeDiLavoroCambiate();
}
