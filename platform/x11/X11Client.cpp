#include "X11Client.h"

#include "X11Connessione.h"

#include <xcb/xcb.h>


X11Client::X11Client()
{
    const X11Connessione x = X11Connessione::apri();
    conn_ = x.conn;
    root_ = x.root;
    if (!conn_)
        return;
    aLista_ = X11Connessione::atomo(conn_, "_NET_CLIENT_LIST");
    aPid_ = X11Connessione::atomo(conn_, "_NET_WM_PID");
    aNome_ = X11Connessione::atomo(conn_, "_NET_WM_NAME");
    aUtf8_ = X11Connessione::atomo(conn_, "UTF8_STRING");
    aAttiva_ = X11Connessione::atomo(conn_, "_NET_ACTIVE_WINDOW");
}

X11Client::~X11Client()
{
    if (conn_)
        xcb_disconnect(conn_);
}

FinestraX11 X11Client::leggiFinestra(uint32_t id) const
{
    FinestraX11 f;
    f.id = id;
    f.pid = X11Connessione::primoValore(X11Connessione::proprieta(conn_, id, aPid_, XCB_ATOM_CARDINAL, 1));
    const QList<QByteArray> classe =
        X11Connessione::valoreByte(X11Connessione::proprieta(conn_, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256))
            .split('\0');
    f.istanza = QString::fromLocal8Bit(classe.value(0));
    f.classe = QString::fromLocal8Bit(classe.value(1));
    f.nome = QString::fromUtf8(X11Connessione::valoreByte(X11Connessione::proprieta(conn_, id, aNome_, aUtf8_, 1024)));
    if (f.nome.isEmpty())
        f.nome = QString::fromLocal8Bit(
            X11Connessione::valoreByte(X11Connessione::proprieta(conn_, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 1024)));
    return f;
}

QList<FinestraX11> X11Client::finestre(qint64 pid) const
{
    QList<FinestraX11> r;
    if (!conn_ || pid <= 0)
        return r;
    const auto lista = X11Connessione::proprieta(conn_, root_, aLista_, XCB_ATOM_WINDOW, 4096);
    if (!lista || lista->format != 32)
        return r;
    const int n = xcb_get_property_value_length(lista.get()) / 4;
    const auto* id = static_cast<const uint32_t*>(xcb_get_property_value(lista.get()));
    for (int i = 0; i < n; ++i) {
        if (X11Connessione::primoValore(X11Connessione::proprieta(conn_, id[i], aPid_, XCB_ATOM_CARDINAL, 1)) != pid)
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
