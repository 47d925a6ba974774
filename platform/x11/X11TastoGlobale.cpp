#include "X11TastoGlobale.h"

#include "X11Connessione.h"

#include <QSocketNotifier>
#include <xcb/xcb.h>

#include <cstdlib>

namespace {

constexpr uint32_t kKeysymN = 0x006e; // XK_n
constexpr uint16_t kModificatori = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1; // Control+Alt
// The grab matches the modifier state exactly, so Caps Lock (Lock) and Num
// Lock (Mod2 on every common layout) each need their own variant.
constexpr uint16_t kVarianti[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

X11TastoGlobale::X11TastoGlobale(QObject* parent) : TastoGlobale(parent)
{
    const X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return;
    conn_ = x.conn;
    root_ = x.root;
    codice_ = codiceTastoN();
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11TastoGlobale::leggiEventi);
}

X11TastoGlobale::~X11TastoGlobale()
{
    rilascia();
    if (conn_)
        xcb_disconnect(conn_);
}

uint8_t X11TastoGlobale::codiceTastoN() const
{
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    const int quanti = setup->max_keycode - setup->min_keycode + 1;
    auto* r = xcb_get_keyboard_mapping_reply(
        conn_, xcb_get_keyboard_mapping(conn_, setup->min_keycode, static_cast<uint8_t>(quanti)), nullptr);
    if (!r)
        return 0;
    const xcb_keysym_t* simboli = xcb_get_keyboard_mapping_keysyms(r);
    const int perTasto = r->keysyms_per_keycode;
    uint8_t trovato = 0;
    for (int k = 0; k < quanti && !trovato; ++k)
        for (int j = 0; j < perTasto; ++j)
            if (simboli[k * perTasto + j] == kKeysymN) {
                trovato = static_cast<uint8_t>(setup->min_keycode + k);
                break;
            }
    std::free(r);
    return trovato;
}

bool X11TastoGlobale::registra()
{
    if (registrato_)
        return true;
    if (!conn_ || !codice_)
        return false;
    xcb_void_cookie_t cookie[std::size(kVarianti)];
    for (size_t i = 0; i < std::size(kVarianti); ++i)
        cookie[i] = xcb_grab_key_checked(conn_, 1, root_, kModificatori | kVarianti[i], codice_,
                                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool rifiutato = false;
    for (auto c : cookie) {
        // BadAccess is the usual answer (another client holds it); any
        // other error leaves the variant ungrabbed just the same.
        if (xcb_generic_error_t* errore = xcb_request_check(conn_, c)) {
            rifiutato = true;
            std::free(errore);
        }
    }
    registrato_ = true;
    if (rifiutato) {
        // One variant held by someone else means the combination is taken:
        // give back the variants that did succeed.
        rilascia();
        return false;
    }
    return true;
}

void X11TastoGlobale::rilascia()
{
    if (!conn_ || !registrato_)
        return;
    for (uint16_t v : kVarianti)
        xcb_ungrab_key(conn_, codice_, root_, kModificatori | v);
    xcb_flush(conn_);
    registrato_ = false;
}

void X11TastoGlobale::leggiEventi()
{
    if (!conn_)
        return;
    int premute = 0;
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        const uint8_t tipo = e->response_type & 0x7f;
        if (tipo == XCB_KEY_PRESS) {
            auto* k = reinterpret_cast<xcb_key_press_event_t*>(e);
            // Auto-repeat without detectable repeat sends release and press
            // with the same time stamp: only a fresh press counts.
            if (k->detail == codice_ && k->time != ultimoRilascio_)
                ++premute;
        } else if (tipo == XCB_KEY_RELEASE) {
            auto* k = reinterpret_cast<xcb_key_release_event_t*>(e);
            if (k->detail == codice_)
                ultimoRilascio_ = k->time;
        }
        std::free(e);
    }
    if (X11Connessione::lasciaSeCaduta(conn_, notifier_)) {
        registrato_ = false;
        return;
    }
    for (int i = 0; i < premute; ++i)
        emit premuto();
}
