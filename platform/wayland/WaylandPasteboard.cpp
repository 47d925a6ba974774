#include "WaylandPasteboard.h"

#include "OfferteWayland.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <wayland-client.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <mutex>
#include <thread>

namespace {

// Text types, the best first; the X11 names come from programs under XWayland.
const char* const kTesto[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING", "TEXT"};

// What we offer for our own text: its bytes are UTF-8 under every name.
const char* const kOffriamo[] = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "STRING", "TEXT"};

// Waits until `fd` is ready for `eventi`, up to `ms`.
bool pronto(int fd, short eventi, int ms)
{
    pollfd p{fd, eventi, 0};
    int r;
    while ((r = ::poll(&p, 1, ms)) < 0 && errno == EINTR) {
    }
    return r > 0;
}

// All the owner writes before it closes the pipe; nothing when it stalls
// longer than a step may wait or sends more than a reading takes.
std::optional<QByteArray> leggiTutto(int fd)
{
    QByteArray byte;
    char pezzo[65536];
    for (;;) {
        if (!pronto(fd, POLLIN, WaylandPasteboard::kAttesaMs))
            return std::nullopt;
        const ssize_t n = ::read(fd, pezzo, sizeof pezzo);
        if (n == 0)
            return byte;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return std::nullopt;
        }
        byte.append(pezzo, n);
        if (byte.size() > Pasteboard::kMassimoByte)
            return std::nullopt;
    }
}

// Writes our text to a reader and closes its end, on a thread of its own: a
// reader that does not read must not hold up the connection.
void scriviAParte(int fd, QByteArray dati)
{
    std::thread([fd, dati = std::move(dati)] {
        // A reader that goes early must cost an error, not the process.
        sigset_t tubo;
        sigemptyset(&tubo);
        sigaddset(&tubo, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &tubo, nullptr);
        qsizetype scritti = 0;
        while (scritti < dati.size() && pronto(fd, POLLOUT, WaylandPasteboard::kAttesaMs)) {
            const ssize_t n = ::write(fd, dati.constData() + scritti, size_t(dati.size() - scritti));
            if (n < 0 && errno != EINTR && errno != EAGAIN)
                break;
            if (n > 0)
                scritti += n;
        }
        ::close(fd);
    }).detach();
}

} // namespace

// One copy of ours on offer, and its bytes.
struct Sorgente {
    WaylandPasteboard::Filo* filo = nullptr;
    zwlr_data_control_source_v1* proxy = nullptr;
    QByteArray dati;
};

// The connection and what it knows, owned by the thread that dispatches its
// events. `guardia` covers what other threads touch: the offers and the
// sources of our copies.
struct WaylandPasteboard::Filo {
    WaylandPasteboard* proprietario = nullptr;
    wl_display* display = nullptr;
    wl_registry* registro = nullptr;
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    zwlr_data_control_device_v1* device = nullptr;
    // The connection's socket, so that a first answer that never comes can be cut short.
    std::atomic<int> fd = -1;
    // Written to wake the thread: to flush what another thread sent, or to end.
    int sveglia = -1;
    std::atomic<bool> fine = false;
    std::atomic<bool> attivo = false;
    bool iniziale = true;
    std::mutex guardia;
    OfferteWayland offerte{
        [](void* proxy) { zwlr_data_control_offer_v1_destroy(static_cast<zwlr_data_control_offer_v1*>(proxy)); }};
    // Our copies still offered.
    QList<Sorgente*> sorgenti;
    std::promise<bool> esito;
    std::thread thread;

    void esegui();
    bool collega();
    void ciclo();
    void chiudi();
    void svegliati() const
    {
        const uint64_t uno = 1;
        [[maybe_unused]] auto r = ::write(sveglia, &uno, sizeof uno);
    }

    static const wl_registry_listener kRegistro;
    static const zwlr_data_control_device_v1_listener kDevice;
    static const zwlr_data_control_offer_v1_listener kOfferta;
    static const zwlr_data_control_source_v1_listener kSorgente;
};

const wl_registry_listener WaylandPasteboard::Filo::kRegistro = {
    [](void* d, wl_registry* r, uint32_t nome, const char* interfaccia, uint32_t) {
        auto* f = static_cast<Filo*>(d);
        // The first seat is the user's; version 1 of both is all we use.
        if (!f->seat && std::strcmp(interfaccia, wl_seat_interface.name) == 0)
            f->seat = static_cast<wl_seat*>(wl_registry_bind(r, nome, &wl_seat_interface, 1));
        else if (!f->manager && std::strcmp(interfaccia, zwlr_data_control_manager_v1_interface.name) == 0)
            f->manager = static_cast<zwlr_data_control_manager_v1*>(
                wl_registry_bind(r, nome, &zwlr_data_control_manager_v1_interface, 1));
    },
    [](void*, wl_registry*, uint32_t) {},
};

const zwlr_data_control_offer_v1_listener WaylandPasteboard::Filo::kOfferta = {
    [](void* d, zwlr_data_control_offer_v1*, const char* tipo) {
        OfferteWayland::tipo(static_cast<OfferteWayland::Offerta*>(d), tipo);
    },
};

const zwlr_data_control_device_v1_listener WaylandPasteboard::Filo::kDevice = {
    // data_offer: its types follow at once.
    [](void* d, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* proxy) {
        auto* f = static_cast<Filo*>(d);
        std::lock_guard l(f->guardia);
        zwlr_data_control_offer_v1_add_listener(proxy, &kOfferta, f->offerte.annunciata(proxy));
    },
    // selection
    [](void* d, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* proxy) {
        auto* f = static_cast<Filo*>(d);
        bool cambiata, propria;
        {
            std::lock_guard l(f->guardia);
            auto* nuova = proxy ? static_cast<OfferteWayland::Offerta*>(zwlr_data_control_offer_v1_get_user_data(proxy))
                                : nullptr;
            cambiata = f->offerte.selezione(nuova);
            propria = f->offerte.corrente() && f->offerte.corrente()->tipi.contains(kTipoProprio);
        }
        // What was there when we came is not a change; our own copies were counted when made.
        if (cambiata && !f->iniziale && !propria)
            f->proprietario->annuncia();
    },
    // finished: the seat went away, and with it the selection we can see.
    [](void* d, zwlr_data_control_device_v1*) {
        auto* f = static_cast<Filo*>(d);
        std::lock_guard l(f->guardia);
        f->attivo = false;
    },
    // primary_selection: never sent, as we bind version 1.
    [](void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {},
};

const zwlr_data_control_source_v1_listener WaylandPasteboard::Filo::kSorgente = {
    // send
    [](void* d, zwlr_data_control_source_v1*, const char*, int32_t fd) {
        scriviAParte(fd, static_cast<const Sorgente*>(d)->dati);
    },
    // cancelled: another copy replaced ours.
    [](void* d, zwlr_data_control_source_v1*) {
        auto* s = static_cast<Sorgente*>(d);
        {
            std::lock_guard l(s->filo->guardia);
            s->filo->sorgenti.removeOne(s);
            zwlr_data_control_source_v1_destroy(s->proxy);
        }
        delete s;
    },
};

bool WaylandPasteboard::Filo::collega()
{
    display = wl_display_connect(nullptr);
    if (!display)
        return false;
    fd = wl_display_get_fd(display);
    registro = wl_display_get_registry(display);
    wl_registry_add_listener(registro, &kRegistro, this);
    if (wl_display_roundtrip(display) < 0 || !seat || !manager)
        return false;
    device = zwlr_data_control_manager_v1_get_data_device(manager, seat);
    zwlr_data_control_device_v1_add_listener(device, &kDevice, this);
    // The device tells the selection of now before this returns.
    if (wl_display_roundtrip(display) < 0)
        return false;
    iniziale = false;
    return true;
}

void WaylandPasteboard::Filo::esegui()
{
    const bool ok = collega();
    attivo = ok;
    esito.set_value(ok);
    if (ok)
        ciclo();
    attivo = false;
    chiudi();
}

void WaylandPasteboard::Filo::ciclo()
{
    const int fd = wl_display_get_fd(display);
    while (!fine) {
        while (wl_display_prepare_read(display) != 0)
            if (wl_display_dispatch_pending(display) < 0)
                return;
        // A request sent from another thread may wait in the buffer until the socket takes it.
        const bool resto = wl_display_flush(display) < 0 && errno == EAGAIN;
        pollfd p[2] = {{fd, short(POLLIN | (resto ? POLLOUT : 0)), 0}, {sveglia, POLLIN, 0}};
        if (::poll(p, 2, -1) > 0 && (p[0].revents & (POLLIN | POLLERR | POLLHUP))) {
            if (wl_display_read_events(display) < 0)
                return;
        } else {
            wl_display_cancel_read(display);
        }
        uint64_t n;
        if (p[1].revents & POLLIN)
            [[maybe_unused]] auto r = ::read(sveglia, &n, sizeof n);
        if (wl_display_dispatch_pending(display) < 0)
            return;
    }
}

void WaylandPasteboard::Filo::chiudi()
{
    {
        std::lock_guard l(guardia);
        offerte.chiudi();
        for (Sorgente* s : std::exchange(sorgenti, {})) {
            zwlr_data_control_source_v1_destroy(s->proxy);
            delete s;
        }
    }
    if (device)
        zwlr_data_control_device_v1_destroy(device);
    if (manager)
        zwlr_data_control_manager_v1_destroy(manager);
    if (seat)
        wl_seat_destroy(seat);
    if (registro)
        wl_registry_destroy(registro);
    if (display)
        wl_display_disconnect(display);
}

WaylandPasteboard::WaylandPasteboard(QObject* parent) : Pasteboard(parent), filo_(std::make_unique<Filo>())
{
    filo_->proprietario = this;
    filo_->sveglia = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (filo_->sveglia < 0 || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    auto risposta = filo_->esito.get_future();
    filo_->thread = std::thread([f = filo_.get()] { f->esegui(); });
    // A compositor that does not answer at start is taken as one without data control.
    if (risposta.wait_for(std::chrono::milliseconds(kAttesaMs)) != std::future_status::ready)
        filo_->attivo = false;
}

WaylandPasteboard::~WaylandPasteboard()
{
    filo_->fine = true;
    if (filo_->thread.joinable()) {
        filo_->svegliati();
        // A connection still waiting for its first answer ends when its socket does.
        if (filo_->fd >= 0 && !filo_->attivo)
            ::shutdown(filo_->fd, SHUT_RDWR);
        filo_->thread.join();
    }
    if (filo_->sveglia >= 0)
        ::close(filo_->sveglia);
}

bool WaylandPasteboard::attivo() const
{
    return filo_->attivo;
}

void WaylandPasteboard::annuncia()
{
    ++conteggio_;
    QMetaObject::invokeMethod(this, [this] { emit contatoreCambiato(); }, Qt::QueuedConnection);
}

Pasteboard::Contenuto WaylandPasteboard::leggi(const QStringList& formati) const
{
    Contenuto c;
    QString tipoTesto;
    QList<std::pair<QString, int>> tubi;
    {
        std::lock_guard l(filo_->guardia);
        if (!filo_->attivo || !filo_->offerte.corrente())
            return c;
        const OfferteWayland::Offerta& o = *filo_->offerte.corrente();
        for (const QString& t : o.tipi)
            if (t != kTipoProprio)
                c.tipi << t;
        for (const char* t : kTesto)
            if (c.tipi.contains(QLatin1String(t))) {
                tipoTesto = QLatin1String(t);
                break;
            }
        QStringList chiesti = formati;
        if (!tipoTesto.isEmpty() && !chiesti.contains(tipoTesto))
            chiesti.prepend(tipoTesto);
        for (const QString& t : chiesti) {
            int p[2];
            if (!c.tipi.contains(t) || ::pipe2(p, O_CLOEXEC) != 0)
                continue;
            zwlr_data_control_offer_v1_receive(static_cast<zwlr_data_control_offer_v1*>(o.proxy),
                                               t.toUtf8().constData(), p[1]);
            ::close(p[1]);
            tubi << std::pair{t, p[0]};
        }
        wl_display_flush(filo_->display);
    }
    filo_->svegliati();
    for (const auto& [tipo, fd] : tubi) {
        const std::optional<QByteArray> byte = leggiTutto(fd);
        ::close(fd);
        if (!byte)
            continue;
        if (tipo == tipoTesto)
            c.testo = Pasteboard::testoUtf8(*byte, tipo == QLatin1String("STRING"));
        if (formati.contains(tipo))
            c.dati.insert(tipo, *byte);
    }
    return c;
}

void WaylandPasteboard::setString(const QString& testo)
{
    {
        std::lock_guard l(filo_->guardia);
        if (!filo_->attivo)
            return;
        auto* s = new Sorgente{filo_.get(), zwlr_data_control_manager_v1_create_data_source(filo_->manager),
                               testo.toUtf8()};
        // Its events come only once it is the selection, after the listener is in place.
        zwlr_data_control_source_v1_add_listener(s->proxy, &Filo::kSorgente, s);
        for (const char* t : kOffriamo)
            zwlr_data_control_source_v1_offer(s->proxy, t);
        zwlr_data_control_source_v1_offer(s->proxy, kTipoProprio.toUtf8().constData());
        zwlr_data_control_device_v1_set_selection(filo_->device, s->proxy);
        filo_->sorgenti << s;
        wl_display_flush(filo_->display);
    }
    filo_->svegliati();
    ++conteggio_;
    emit contatoreCambiato();
}
