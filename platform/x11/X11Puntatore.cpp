#include "X11Puntatore.h"

#include "X11Connessione.h"
#include "X11Finestra.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScopedValueRollback>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/uio.h>

namespace {

constexpr uint16_t kPulsanti = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
// How long after the absolute device's last event the probe runs.
constexpr int kAttesaSondaMs = 40;

double rapportoPixel()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->devicePixelRatio() : 1.0;
}

// Whether a raw motion moved by nothing on every axis it names.
bool nullo(const xcb_input_raw_button_press_event_t* e)
{
    const int n = xcb_input_raw_button_press_axisvalues_raw_length(e);
    const xcb_input_fp3232_t* valori = xcb_input_raw_button_press_axisvalues_raw(e);
    for (int i = 0; i < n; ++i)
        if (valori[i].integral != 0 || valori[i].frac != 0)
            return false;
    return true;
}

} // namespace

X11Puntatore::X11Puntatore(QObject* parent) : Puntatore(parent)
{
    const X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return;
    xwayland_ = X11Finestra::xwayland();
    conn_ = x.conn;
    root_ = x.root;

    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn_, &xcb_input_id);
    if (ext && ext->present) {
        auto cookie = xcb_input_xi_query_version(conn_, 2, 2);
        auto* v = xcb_input_xi_query_version_reply(conn_, cookie, nullptr);
        // Raw events on the root window need XInput 2.1 or later.
        if (v && (v->major_version > 2 || (v->major_version == 2 && v->minor_version >= 1)))
            opcode_ = ext->major_opcode;
        std::free(v);
    }
    if (opcode_) {
        struct {
            xcb_input_event_mask_t testa;
            uint32_t maschera;
        } m{};
        m.testa.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
        m.testa.mask_len = 1;
        m.maschera = XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS
                     | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
        xcb_input_xi_select_events(conn_, root_, 1, &m.testa);
        xcb_flush(conn_);
        notifier_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &X11Puntatore::leggiEventi);
        if (xwayland_)
            trovaDispositiviXWayland();
    }
    sondaggio_ = new QTimer(this);
    sondaggio_->setInterval(kPassoSondaggioMs);
    sondaggio_->setTimerType(Qt::PreciseTimer);
    connect(sondaggio_, &QTimer::timeout, this, &X11Puntatore::sonda);
    daUltimoMoto_.start();
    aggiornaSondaggio();
    ultimo_ = stato();
}

X11Puntatore::~X11Puntatore()
{
    if (conn_)
        xcb_disconnect(conn_);
}

StatoPuntatore X11Puntatore::stato() const
{
    if (!conn_)
        return {};
    // Those told of a move ask where the pointer is: the position just read
    // serves them all, unless a nested event loop has run since.
    if (livelloAnnuncio_ == QThread::currentThread()->loopLevel())
        return ultimo_;
    auto* r = xcb_query_pointer_reply(conn_, xcb_query_pointer(conn_, root_), nullptr);
    // Waiting for the reply may pull raw events into xcb's queue, where the
    // socket notifier never sees them: read them on the next loop turn, or
    // a move that came during a poll's query is lost once the poll stops.
    if (opcode_ && !letturaInCoda_) {
        letturaInCoda_ = true;
        QTimer::singleShot(0, const_cast<X11Puntatore*>(this), &X11Puntatore::leggiEventi);
    }
    if (!r)
        return {};
    const double dpr = rapportoPixel();
    StatoPuntatore s{QPointF(r->root_x / dpr, r->root_y / dpr), (r->mask & kPulsanti) != 0, fuoriVista_};
    std::free(r);
    return s;
}

void X11Puntatore::trovaDispositiviXWayland()
{
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(conn_, &xcb_test_id);
    if (!xtest || !xtest->present)
        return;
    auto* r = xcb_input_xi_query_device_reply(conn_, xcb_input_xi_query_device(conn_, XCB_INPUT_DEVICE_ALL), nullptr);
    if (!r)
        return;
    for (auto it = xcb_input_xi_query_device_infos_iterator(r); it.rem; xcb_input_xi_device_info_next(&it)) {
        const QByteArray nome(xcb_input_xi_device_info_name(it.data), xcb_input_xi_device_info_name_length(it.data));
        if (it.data->type != XCB_INPUT_DEVICE_TYPE_SLAVE_POINTER)
            continue;
        // Named for the seat, as "xwayland-pointer:13".
        if (nome.startsWith("xwayland-relative-pointer:"))
            relativo_ = it.data->deviceid;
        else if (nome.startsWith("xwayland-pointer:"))
            assoluto_ = it.data->deviceid;
    }
    std::free(r);
    if (!relativo_ || !assoluto_)
        return;
    sondaUscita_ = new QTimer(this);
    sondaUscita_->setSingleShot(true);
    sondaUscita_->setInterval(kAttesaSondaMs);
    connect(sondaUscita_, &QTimer::timeout, this, &X11Puntatore::sondaUscita);
}

void X11Puntatore::sondaUscita()
{
    // XWayland decides that the pointer has gone only while the device its
    // last motion came from is the relative one. A relative motion of zero
    // through XTest (an extension device event, then its two valuators)
    // makes it so, at the same place: over our window it moves nothing,
    // after a leaving kept back it reports that leaving.
    const xcb_query_extension_reply_t* xi = xcb_get_extension_data(conn_, &xcb_input_id);
    if (!xi || !sullaFinestra_ || fuoriVista_)
        return;
    uint8_t eventi[64] = {};
    eventi[0] = xi->first_event + 5; // DeviceMotionNotify
    eventi[1] = 1;                   // relative
    std::memcpy(eventi + 8, &root_, 4);
    eventi[31] = static_cast<uint8_t>(relativo_ | 0x80); // valuators follow
    eventi[32] = xi->first_event;                        // DeviceValuator
    eventi[33] = static_cast<uint8_t>(relativo_);
    eventi[38] = 2; // two valuators from the first: x and y, both 0
    uint8_t testa[4] = {};
    iovec parti[4] = {{}, {}, {testa, sizeof testa}, {eventi, sizeof eventi}};
    static const xcb_protocol_request_t richiesta = {2, &xcb_test_id, XCB_TEST_FAKE_INPUT, 1};
    xcb_send_request(conn_, 0, parti + 2, &richiesta);
    xcb_flush(conn_);
}

void X11Puntatore::leggiEventi()
{
    letturaInCoda_ = false;
    if (!conn_)
        return;
    bool mosso = false, pulsante = false, sullaFinestra = false, daAssoluto = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        const uint8_t tipo = e->response_type & 0x7f;
        if (tipo == XCB_ENTER_NOTIFY || tipo == XCB_LEAVE_NOTIFY || tipo == XCB_MOTION_NOTIFY) {
            sullaFinestra = true;
            sullaFinestra_ = tipo != XCB_LEAVE_NOTIFY;
            if (tipo == XCB_LEAVE_NOTIFY) {
                // Out into another window; not into one of its own children,
                // nor for a grab.
                const auto* l = reinterpret_cast<xcb_leave_notify_event_t*>(e);
                if (xwayland_ && l->mode == XCB_NOTIFY_MODE_NORMAL && l->detail != XCB_NOTIFY_DETAIL_INFERIOR)
                    fuoriVista_ = true;
                else
                    sullaFinestra_ = l->detail == XCB_NOTIFY_DETAIL_INFERIOR;
            } else {
                fuoriVista_ = false;
            }
        } else if (tipo == XCB_GE_GENERIC) {
            auto* g = reinterpret_cast<xcb_ge_generic_event_t*>(e);
            const auto* grezzo = reinterpret_cast<xcb_input_raw_button_press_event_t*>(e);
            // The probe's own motion is no motion, nor a sign of the pointer.
            const bool sondata = relativo_ && grezzo->sourceid == relativo_ && g->event_type == XCB_INPUT_RAW_MOTION
                                 && nullo(grezzo);
            if (g->extension == opcode_ && !sondata) {
                // Raw input reaches XWayland only from over its own windows.
                fuoriVista_ = false;
                daAssoluto = daAssoluto || (assoluto_ && grezzo->sourceid == assoluto_);
                if (g->event_type == XCB_INPUT_RAW_MOTION || g->event_type == XCB_INPUT_RAW_BUTTON_RELEASE)
                    mosso = true;
                else if (g->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
                    mosso = true;
                    // Wheel steps arrive as buttons 4 to 7: they are not clicks.
                    if (grezzo->detail == 1 || grezzo->detail == 3)
                        pulsante = true;
                }
            }
        }
        std::free(e);
    }
    if (daAssoluto && sondaUscita_)
        sondaUscita_->start();
    if (X11Connessione::lasciaSeCaduta(conn_, notifier_))
        return;
    if (mosso || sullaFinestra) {
        const StatoPuntatore s = stato();
        // A followed window also hears of its input region changing under a
        // still pointer: only a new position, or the pointer gone out of
        // sight where it was, makes that a move.
        mosso = mosso || s.posizione != ultimo_.posizione || s.fuoriVista != ultimo_.fuoriVista;
        ultimo_ = s;
    }
    if (mosso) {
        daUltimoMoto_.restart();
        aggiornaSondaggio();
    }
    annuncia(mosso, pulsante);
}

void X11Puntatore::annuncia(bool mosso, bool pulsante)
{
    if (!mosso && !pulsante)
        return;
    const QScopedValueRollback livello(livelloAnnuncio_, QThread::currentThread()->loopLevel());
    if (mosso)
        emit spostato();
    if (pulsante)
        emit clic();
}

void X11Puntatore::sonda()
{
    // Raw events an earlier query pulled into xcb's queue are read first.
    if (opcode_)
        leggiEventi();
    const StatoPuntatore s = stato();
    // With raw events the clicks come from them; the poll only adds moves.
    const bool premutoOra = !opcode_ && s.pulsantePremuto && !ultimo_.pulsantePremuto;
    const bool cambiato = s.posizione != ultimo_.posizione || s.pulsantePremuto != ultimo_.pulsantePremuto;
    ultimo_ = s;
    if (cambiato)
        daUltimoMoto_.restart();
    else
        aggiornaSondaggio(); // a still pointer ends the poll
    annuncia(cambiato, premutoOra);
}

void X11Puntatore::sorvegliaDaVicino(bool vicino)
{
    vicino_ = vicino;
    aggiornaSondaggio();
}

void X11Puntatore::seguiFinestra(quintptr finestra)
{
    // Without XInput2 the poll that runs all the time sees warps as well.
    if (!conn_ || !opcode_ || !finestra)
        return;
    // Our own connection's selection, beside the toolkit's on its own.
    const uint32_t maschera = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_POINTER_MOTION;
    xcb_change_window_attributes(conn_, static_cast<xcb_window_t>(finestra), XCB_CW_EVENT_MASK, &maschera);
    xcb_flush(conn_);
}

void X11Puntatore::aggiornaSondaggio()
{
    if (!sondaggio_)
        return;
    const bool serve = conn_ && (!opcode_ || (vicino_ && daUltimoMoto_.elapsed() < kQuieteMs));
    if (serve && !sondaggio_->isActive())
        sondaggio_->start();
    else if (!serve)
        sondaggio_->stop();
}

bool X11Puntatore::sondaggioAttivo() const
{
    return sondaggio_ && sondaggio_->isActive();
}
