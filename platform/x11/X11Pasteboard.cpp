#include "X11Pasteboard.h"

#include "X11Connessione.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <QtGui/qguiapplication_platform.h>
#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstring>
#include <functional>

namespace {

// Targets that describe the offer instead of being one.
bool eMeta(const QString& nome)
{
    return nome == QLatin1String("TARGETS") || nome == QLatin1String("TIMESTAMP") ||
           nome == QLatin1String("MULTIPLE") || nome == QLatin1String("SAVE_TARGETS");
}

// How long a text too large to take may go on arriving, to be dropped.
constexpr qint64 kDrenaggioMs = 60000;

// Text targets, the best first.
const char* const kTesto[] = {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING", "TEXT"};

// One reading of the clipboard on a connection of its own.
class Lettura {
public:
    Lettura() : x_(X11Connessione::apri())
    {
        if (!x_.conn)
            return;
        finestra_ = xcb_generate_id(x_.conn);
        const uint32_t maschera = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(x_.conn, XCB_COPY_FROM_PARENT, finestra_, x_.root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &maschera);
        clipboard_ = X11Connessione::atomo(x_.conn, "CLIPBOARD");
        proprieta_ = X11Connessione::atomo(x_.conn, "HALVORA_APPUNTI");
        incr_ = X11Connessione::atomo(x_.conn, "INCR");
    }
    ~Lettura()
    {
        if (x_.conn)
            xcb_disconnect(x_.conn);
    }
    Lettura(const Lettura&) = delete;
    Lettura& operator=(const Lettura&) = delete;

    Pasteboard::Contenuto leggi(const QStringList& formati)
    {
        Pasteboard::Contenuto c;
        if (!x_.conn || !clipboard_)
            return c;
        QByteArray elenco;
        if (!converti(X11Connessione::atomo(x_.conn, "TARGETS"), elenco, nullptr))
            return c;
        const QHash<QString, uint32_t> atomi = nomi(elenco);
        for (auto it = atomi.cbegin(); it != atomi.cend(); ++it)
            if (!eMeta(it.key()))
                c.tipi << it.key();
        for (const char* t : kTesto) {
            const uint32_t atomo = atomi.value(QLatin1String(t));
            QByteArray byte;
            uint32_t tipo = 0;
            if (atomo && converti(atomo, byte, &tipo)) {
                c.testo = Pasteboard::testoUtf8(std::move(byte), tipo == XCB_ATOM_STRING);
                break;
            }
        }
        for (const QString& f : formati) {
            QByteArray byte;
            if (const uint32_t atomo = atomi.value(f); atomo && converti(atomo, byte, nullptr))
                c.dati.insert(f, byte);
        }
        return c;
    }

private:
    // The names of the atoms in a TARGETS answer, asked for all at once.
    QHash<QString, uint32_t> nomi(const QByteArray& elenco)
    {
        QHash<QString, uint32_t> atomi;
        QList<uint32_t> valori(elenco.size() / 4);
        std::memcpy(valori.data(), elenco.constData(), valori.size() * 4);
        std::vector<xcb_get_atom_name_cookie_t> domande;
        for (uint32_t a : valori)
            domande.push_back(xcb_get_atom_name(x_.conn, a));
        for (size_t i = 0; i < domande.size(); ++i) {
            X11Risposta<xcb_get_atom_name_reply_t> r(xcb_get_atom_name_reply(x_.conn, domande[i], nullptr));
            if (r)
                atomi.insert(QString::fromLatin1(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get())),
                             valori[int(i)]);
        }
        return atomi;
    }

    // The next event `vuole` accepts; null when the owner stays silent too long.
    X11Risposta<xcb_generic_event_t> aspetta(const std::function<bool(const xcb_generic_event_t*)>& vuole)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(x_.conn)) {
                X11Risposta<xcb_generic_event_t> evento(e);
                if (vuole(e))
                    return evento;
            }
            const int resto = X11Pasteboard::kAttesaMs - int(t.elapsed());
            if (xcb_connection_has_error(x_.conn) || resto <= 0)
                return nullptr;
            pollfd p{xcb_get_file_descriptor(x_.conn), POLLIN, 0};
            ::poll(&p, 1, resto);
        }
    }

    // The owner's bytes for one target, as a whole or in increments.
    bool converti(uint32_t target, QByteArray& byte, uint32_t* tipo)
    {
        xcb_delete_property(x_.conn, finestra_, proprieta_);
        xcb_convert_selection(x_.conn, finestra_, clipboard_, target, proprieta_, XCB_CURRENT_TIME);
        xcb_flush(x_.conn);
        const auto notizia = aspetta([this, target](const xcb_generic_event_t* e) {
            if ((e->response_type & ~0x80) != XCB_SELECTION_NOTIFY)
                return false;
            const auto* s = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return s->requestor == finestra_ && s->target == target;
        });
        if (!notizia || reinterpret_cast<const xcb_selection_notify_event_t*>(notizia.get())->property == XCB_NONE)
            return false;
        auto r = prendi();
        if (!r)
            return false;
        if (tipo)
            *tipo = r->type;
        if (r->type != incr_) {
            byte = valore(r);
            return true;
        }
        // The INCR value is a lower bound of the size (owners give the size
        // itself): room for it at once spares the copies of a growing buffer.
        qsizetype promessi = 0;
        if (xcb_get_property_value_length(r.get()) >= 4)
            promessi = qsizetype(*static_cast<const uint32_t*>(xcb_get_property_value(r.get())));
        bool troppi = promessi > Pasteboard::kMassimoByte;
        if (!troppi)
            byte.reserve(promessi);
        // Deleting the INCR property asked for the first piece; an empty piece
        // ends it. A text too large to take is still asked for to its end,
        // and dropped: the owner must see its transfer through, or it may
        // stop serving anyone.
        QElapsedTimer durata;
        durata.start();
        for (;;) {
            const auto nuovo = aspetta([this](const xcb_generic_event_t* e) {
                if ((e->response_type & ~0x80) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
                return p->window == finestra_ && p->atom == proprieta_ && p->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!nuovo)
                return false;
            auto pezzo = prendi();
            if (!pezzo)
                return false;
            if (tipo)
                *tipo = pezzo->type;
            const int n = xcb_get_property_value_length(pezzo.get());
            if (n == 0) {
                if (troppi)
                    byte.clear();
                return !troppi;
            }
            if (!troppi)
                byte.append(static_cast<const char*>(xcb_get_property_value(pezzo.get())), n);
            if (byte.size() > Pasteboard::kMassimoByte) {
                troppi = true;
                byte = QByteArray();
            }
            // An owner that never ends is left, at last.
            if (durata.elapsed() > kDrenaggioMs)
                return false;
        }
    }

    // Our property, read whole and deleted.
    X11Risposta<xcb_get_property_reply_t> prendi()
    {
        auto cookie = xcb_get_property(x_.conn, 1, finestra_, proprieta_, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4);
        return X11Risposta<xcb_get_property_reply_t>(xcb_get_property_reply(x_.conn, cookie, nullptr));
    }

    // The value's length is in bytes already, whatever its format.
    static QByteArray valore(const X11Risposta<xcb_get_property_reply_t>& r)
    {
        return QByteArray(static_cast<const char*>(xcb_get_property_value(r.get())),
                          xcb_get_property_value_length(r.get()));
    }

    X11Connessione x_;
    uint32_t finestra_ = 0;
    uint32_t clipboard_ = 0;
    uint32_t proprieta_ = 0;
    uint32_t incr_ = 0;
};

} // namespace

X11Pasteboard::X11Pasteboard(QObject* parent) : Pasteboard(parent)
{
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        if (xcb_connection_t* qt = x11->connection()) {
            baseNostra_ = xcb_get_setup(qt)->resource_id_base;
            mascheraNostra_ = xcb_get_setup(qt)->resource_id_mask;
        }
    X11Connessione x = X11Connessione::apri();
    if (!x.conn)
        return;
    X11Risposta<xcb_xfixes_query_version_reply_t> versione(
        xcb_xfixes_query_version_reply(x.conn, xcb_xfixes_query_version(x.conn, 5, 0), nullptr));
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(x.conn, &xcb_xfixes_id);
    const uint32_t clipboard = X11Connessione::atomo(x.conn, "CLIPBOARD");
    if (!versione || !ext || !ext->present || !clipboard) {
        xcb_disconnect(x.conn);
        return;
    }
    conn_ = x.conn;
    primoEvento_ = ext->first_event;
    xcb_xfixes_select_selection_input(conn_, x.root, clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(conn_);
    ascolto_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read, this);
    connect(ascolto_, &QSocketNotifier::activated, this, &X11Pasteboard::eventi);
}

X11Pasteboard::~X11Pasteboard()
{
    if (conn_)
        xcb_disconnect(conn_);
}

bool X11Pasteboard::nostra(uint32_t finestra) const
{
    return mascheraNostra_ && finestra && (finestra & ~mascheraNostra_) == baseNostra_;
}

void X11Pasteboard::eventi()
{
    bool cambiato = false;
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
        X11Risposta<xcb_generic_event_t> evento(e);
        if ((e->response_type & ~0x80) != primoEvento_ + XCB_XFIXES_SELECTION_NOTIFY)
            continue;
        const auto* s = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(e);
        // Our own writes were counted when made.
        if (s->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER && nostra(s->owner) && scrittureAttese_ > 0) {
            --scrittureAttese_;
            continue;
        }
        ++conteggio_;
        cambiato = true;
    }
    X11Connessione::lasciaSeCaduta(conn_, ascolto_);
    if (cambiato)
        emit contatoreCambiato();
}

Pasteboard::Contenuto X11Pasteboard::leggi(const QStringList& formati) const
{
    Lettura l;
    return l.leggi(formati);
}

void X11Pasteboard::setString(const QString& testo)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    auto* m = new QMimeData;
    m->setText(testo);
    if (conn_ && mascheraNostra_)
        ++scrittureAttese_;
    clipboard->setMimeData(m); // the clipboard owns it from here
    ++conteggio_;
    emit contatoreCambiato();
}
