#include "X11Client.h"

#include "X11Connessione.h"

#include <xcb/xcb.h>

#include <cstring>

namespace {

using Proprieta = X11Risposta<xcb_get_property_reply_t>;

Proprieta leggi(xcb_connection_t* c, uint32_t finestra, uint32_t prop, uint32_t tipo, uint32_t lunghezza)
{
    auto cookie = xcb_get_property(c, 0, finestra, prop, tipo, 0, lunghezza);
    return Proprieta(xcb_get_property_reply(c, cookie, nullptr));
}

QByteArray byte(const Proprieta& r)
{
    if (!r || r->format != 8)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())), xcb_get_property_value_length(r.get()));
}

uint32_t primo(const Proprieta& r)
{
    if (!r || r->format != 32 || xcb_get_property_value_length(r.get()) < 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
}

} // namespace

X11Client::X11Client()
{
    const X11Connessione x = X11Connessione::apri();
    conn_ = x.conn;
    root_ = x.root;
    if (!conn_)
        return;
    aLista_ = atomo("_NET_CLIENT_LIST");
    aPid_ = atomo("_NET_WM_PID");
    aNome_ = atomo("_NET_WM_NAME");
    aUtf8_ = atomo("UTF8_STRING");
    aAttiva_ = atomo("_NET_ACTIVE_WINDOW");
}

X11Client::~X11Client()
{
    if (conn_)
        xcb_disconnect(conn_);
}

uint32_t X11Client::atomo(const char* nome) const
{
    auto cookie = xcb_intern_atom(conn_, 0, static_cast<uint16_t>(strlen(nome)), nome);
    X11Risposta<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(conn_, cookie, nullptr));
    return r ? r->atom : 0;
}

FinestraX11 X11Client::leggiFinestra(uint32_t id) const
{
    FinestraX11 f;
    f.id = id;
    f.pid = primo(leggi(conn_, id, aPid_, XCB_ATOM_CARDINAL, 1));
    const QList<QByteArray> classe = byte(leggi(conn_, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256)).split('\0');
    f.istanza = QString::fromLocal8Bit(classe.value(0));
    f.classe = QString::fromLocal8Bit(classe.value(1));
    f.nome = QString::fromUtf8(byte(leggi(conn_, id, aNome_, aUtf8_, 1024)));
    if (f.nome.isEmpty())
        f.nome = QString::fromLocal8Bit(byte(leggi(conn_, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 1024)));
    return f;
}

QList<FinestraX11> X11Client::finestre(qint64 pid) const
{
    QList<FinestraX11> r;
    if (!conn_ || pid <= 0)
        return r;
    const Proprieta lista = leggi(conn_, root_, aLista_, XCB_ATOM_WINDOW, 4096);
    if (!lista || lista->format != 32)
        return r;
    const int n = xcb_get_property_value_length(lista.get()) / 4;
    const auto* id = static_cast<const uint32_t*>(xcb_get_property_value(lista.get()));
    for (int i = 0; i < n; ++i) {
        if (primo(leggi(conn_, id[i], aPid_, XCB_ATOM_CARDINAL, 1)) != pid)
            continue;
        r << leggiFinestra(id[i]);
    }
    return r;
}

bool X11Client::attiva(uint32_t finestra) const
{
    if (!conn_ || !finestra)
        return false;
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = finestra;
    e.type = aAttiva_;
    e.data.data32[0] = 2; // source: a pager, which window managers obey
    e.data.data32[1] = XCB_CURRENT_TIME;
    const uint32_t maschera = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    auto cookie = xcb_send_event_checked(conn_, 0, root_, maschera, reinterpret_cast<const char*>(&e));
    X11Risposta<xcb_generic_error_t> errore(xcb_request_check(conn_, cookie));
    return !errore;
}
