#include "X11Desktop.h"

#include "X11Connessione.h"

#include <QSocketNotifier>
#include <QTimer>
#include <xcb/xcb.h>
#include <xcb/xproto.h>

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

bool X11Desktop::schermoIntero(uint32_t finestra) const
{
    if (!conn_ || !finestra)
        return false;
    auto r = X11Connessione::proprieta(conn_, finestra, aState_, XCB_ATOM_ATOM, 64);
    leggiEventiInCoda();
    if (!r || r->format != 32)
        return false;
    const int n = xcb_get_property_value_length(r.get()) / 4;
    const auto* atomi = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
    for (int i = 0; i < n; ++i)
        if (atomi[i] == aFullscreen_)
            return true;
    return false;
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
    bool attiva = false, desktop = false, stato = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            if (p->window == root_ && p->atom == aActive_)
                attiva = true;
            else if (p->window == root_ && p->atom == aDesktop_)
                desktop = true;
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
    if (attiva || desktop || stato)
        emit schermoInteroCambiato();
}
