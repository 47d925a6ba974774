// libecal's headers first: GLib names a struct field `signals`, which Qt's
// headers would turn into a keyword.
#include <libecal/libecal.h>
#include <libical/ical.h>

#include "CalendariEds.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimeZone>
#include <map>
#include <mutex>

namespace {

const char* const kRegistro = "org.gnome.evolution.dataserver.Sources5";

struct Sgancia {
    void operator()(gpointer p) const { g_object_unref(p); }
};
template<class T>
using Rif = std::unique_ptr<T, Sgancia>;

QString messaggio(GError* e)
{
    // Only a store that did not answer in time is cut short.
    const QString testo = g_error_matches(e, G_IO_ERROR, G_IO_ERROR_CANCELLED) ? CalendariEds::nonRisponde()
                          : e                                                  ? QString::fromUtf8(e->message)
                                                                               : QString();
    if (e)
        g_error_free(e);
    return testo;
}

void scrivi(QString* errore, const QString& testo)
{
    if (errore)
        *errore = testo;
}

const char* estensione(CalendariEds::Tipo tipo)
{
    return tipo == CalendariEds::Tipo::eventi ? E_SOURCE_EXTENSION_CALENDAR : E_SOURCE_EXTENSION_TASK_LIST;
}

// The calendar of the contacts' birthdays and anniversaries: opening it
// makes the store start its address-book service too, which the panel
// would keep running for that calendar alone.
bool daiContatti(ESource* sorgente, CalendariEds::Tipo tipo)
{
    if (tipo != CalendariEds::Tipo::eventi || !e_source_has_extension(sorgente, E_SOURCE_EXTENSION_CALENDAR))
        return false;
    const gchar* backend =
        e_source_backend_get_backend_name(E_SOURCE_BACKEND(e_source_get_extension(sorgente, E_SOURCE_EXTENSION_CALENDAR)));
    return g_strcmp0(backend, "contacts") == 0;
}

// The unique name that owns the registry's name now, if any.
std::optional<QString> proprietario(GDBusConnection* bus, GCancellable* annulla)
{
    GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "GetNameOwner", g_variant_new("(s)", kRegistro),
                                              G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, -1, annulla, nullptr);
    if (!r)
        return std::nullopt;
    const gchar* nome = nullptr;
    g_variant_get(r, "(&s)", &nome);
    QString s = QString::fromUtf8(nome);
    g_variant_unref(r);
    return s;
}

// Asks the bus to start the registry, as any client's first call would.
bool avvia(GDBusConnection* bus, GCancellable* annulla, QString* errore)
{
    GError* e = nullptr;
    GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                              "org.freedesktop.DBus", "StartServiceByName",
                                              g_variant_new("(su)", kRegistro, 0u), G_VARIANT_TYPE("(u)"),
                                              G_DBUS_CALL_FLAGS_NONE, -1, annulla, &e);
    if (!r) {
        scrivi(errore, messaggio(e));
        return false;
    }
    g_variant_unref(r);
    return true;
}

// Whether the registry answers at all, asked in a way that can be cut
// short: making the registry's client waits on it with no way to be.
bool registroRisponde(GDBusConnection* bus, const QString& chi, GCancellable* annulla, QString* errore)
{
    GError* e = nullptr;
    GVariant* r = g_dbus_connection_call_sync(bus, chi.toUtf8().constData(), "/", "org.freedesktop.DBus.Peer", "Ping",
                                              nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, annulla, &e);
    if (!r) {
        scrivi(errore, messaggio(e));
        return false;
    }
    g_variant_unref(r);
    return true;
}

Rif<GDBusConnection> busDiSessione(GCancellable* annulla, QString* errore)
{
    GError* e = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, annulla, &e);
    if (!bus)
        scrivi(errore, messaggio(e));
    return Rif<GDBusConnection>(bus);
}

ICalTimezone* zonaLocale()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    ICalTimezone* z = id.isEmpty() ? nullptr : i_cal_timezone_get_builtin_timezone(id.constData());
    return z ? z : i_cal_timezone_get_utc_timezone();
}

QByteArray testoDi(ICalComponent* c)
{
    gchar* s = i_cal_component_as_ical_string(c);
    QByteArray t(s);
    g_free(s);
    return t;
}

// Each item's zones, once, then the items, as one VCALENDAR.
QByteArray calendarioCon(ECalClient* client, const QList<ICalComponent*>& voci, GCancellable* annulla)
{
    QSet<QByteArray> tzid;
    for (ICalComponent* c : voci)
        icalcomponent_foreach_tzid(
            static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(c))),
            [](icalparameter* p, void* dati) {
                if (const char* t = icalparameter_get_tzid(p))
                    static_cast<QSet<QByteArray>*>(dati)->insert(t);
            },
            &tzid);
    QByteArray testo = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Halvora//Agenda//IT\r\n";
    for (const QByteArray& t : tzid) {
        ICalTimezone* zona = nullptr;
        // A zone the store does not know is left to the reader's own lookup by name.
        if (!e_cal_client_get_timezone_sync(client, t.constData(), &zona, annulla, nullptr) || !zona)
            continue;
        if (ICalComponent* vz = i_cal_timezone_get_component(zona)) {
            testo += testoDi(vz);
            g_object_unref(vz);
        }
    }
    for (ICalComponent* c : voci)
        testo += testoDi(c);
    return testo + "END:VCALENDAR\r\n";
}

QDateTime momento(ICalTime* t, ICalTimezone* predefinita)
{
    ICalTimezone* z = i_cal_time_get_timezone(t);
    return QDateTime::fromSecsSinceEpoch(qint64(i_cal_time_as_timet_with_zone(t, z ? z : predefinita)), Qt::UTC);
}

QDate giorno(ICalTime* t) { return QDate(i_cal_time_get_year(t), i_cal_time_get_month(t), i_cal_time_get_day(t)); }

} // namespace

struct CalendariEds::Stato {
    struct Client {
        Rif<ECalClient> client;
        Rif<ECalClientView> vista;
        bool morto = false;
    };

    Rif<ESourceRegistry> registro;
    QString proprietario;
    std::map<std::pair<QString, Tipo>, Client> client;
    // What the last listing showed of each source, to tell a change that
    // matters from the store's own bookkeeping on the source.
    QHash<QString, QPair<QString, QColor>> visti;
    std::function<void()> cambiato;

    // The job running now and what cuts its calls short; any thread.
    mutable std::mutex guardia;
    GCancellable* annullamento = nullptr;
    quint64 lavoro = 0, scadutiFinoA = 0;

    // What the calls of the job running now wait with; worker thread only.
    GCancellable* annulla()
    {
        std::lock_guard l(guardia);
        if (!annullamento)
            annullamento = g_cancellable_new();
        return annullamento;
    }

    void notifica()
    {
        if (cambiato)
            cambiato();
    }

    static void suCambio(gpointer, gpointer dati) { static_cast<Stato*>(dati)->notifica(); }
    static void suVoci(ECalClientView*, const GSList*, gpointer dati) { static_cast<Stato*>(dati)->notifica(); }
    static void suSorgenteCambiata(ESourceRegistry*, ESource* sorgente, gpointer dati)
    {
        auto* s = static_cast<Stato*>(dati);
        const QString uid = QString::fromUtf8(e_source_get_uid(sorgente));
        const auto visto = s->visti.constFind(uid);
        if (visto == s->visti.constEnd())
            return; // not one we show
        if (*visto != qMakePair(QString::fromUtf8(e_source_get_display_name(sorgente)), colore(sorgente)))
            s->notifica();
    }
    static void suMorte(EClient*, gpointer dati)
    {
        auto* s = static_cast<Stato*>(dati);
        for (auto& [chiave, c] : s->client)
            c.morto = true; // the factory went down with all its backends
        s->notifica();
    }

    static QColor colore(ESource* sorgente)
    {
        for (const char* ext : {E_SOURCE_EXTENSION_CALENDAR, E_SOURCE_EXTENSION_TASK_LIST})
            if (e_source_has_extension(sorgente, ext)) {
                const gchar* c = e_source_selectable_get_color(E_SOURCE_SELECTABLE(e_source_get_extension(sorgente, ext)));
                return c ? QColor(QString::fromUtf8(c)) : QColor();
            }
        return {};
    }

    ECalClient* clientDi(const QString& uid, Tipo tipo, QString* errore)
    {
        const auto chiave = std::make_pair(uid, tipo);
        if (auto it = client.find(chiave); it != client.end()) {
            if (!it->second.morto)
                return it->second.client.get();
            client.erase(it);
        }
        if (!registro) {
            scrivi(errore, QStringLiteral("Evolution Data Server non connesso"));
            return nullptr;
        }
        Rif<ESource> sorgente(e_source_registry_ref_source(registro.get(), uid.toUtf8().constData()));
        if (!sorgente) {
            scrivi(errore, QStringLiteral("sorgente %1 scomparsa").arg(uid));
            return nullptr;
        }
        GError* e = nullptr;
        // Not waiting to be online: an account offline is read from the store's copy.
        EClient* c = e_cal_client_connect_sync(sorgente.get(),
                                               tipo == Tipo::eventi ? E_CAL_CLIENT_SOURCE_TYPE_EVENTS
                                                                    : E_CAL_CLIENT_SOURCE_TYPE_TASKS,
                                               guint32(-1), annulla(), &e);
        if (!c) {
            scrivi(errore, messaggio(e));
            return nullptr;
        }
        Client nuovo;
        nuovo.client.reset(E_CAL_CLIENT(c));
        g_signal_connect(c, "backend-died", G_CALLBACK(suMorte), this);
        nuovo.vista = vista(nuovo.client.get());
        return (client[chiave] = std::move(nuovo)).client.get();
    }

    // A live view that only reports that something changed: no initial
    // listing, only the UID of what changed.
    Rif<ECalClientView> vista(ECalClient* c)
    {
        ECalClientView* v = nullptr;
        GError* e = nullptr;
        if (!e_cal_client_get_view_sync(c, "#t", &v, annulla(), &e)) {
            qWarning("Vista del calendario non disponibile: %s", qPrintable(messaggio(e)));
            return {};
        }
        e_cal_client_view_set_flags(v, E_CAL_CLIENT_VIEW_FLAGS_NONE, nullptr);
        GSList campi = {const_cast<char*>("UID"), nullptr};
        e_cal_client_view_set_fields_of_interest(v, &campi, nullptr);
        for (const char* segnale : {"objects-added", "objects-modified", "objects-removed"})
            g_signal_connect(v, segnale, G_CALLBACK(suVoci), this);
        e_cal_client_view_start(v, &e);
        if (e)
            qWarning("Vista del calendario non avviata: %s", qPrintable(messaggio(e)));
        return Rif<ECalClientView>(v);
    }

    void scordaClient(const QString& uid, Tipo tipo) { client.erase(std::make_pair(uid, tipo)); }

    bool interrotto() const
    {
        std::lock_guard l(guardia);
        return annullamento && g_cancellable_is_cancelled(annullamento);
    }

    void chiudi()
    {
        // Stopping a view waits on the store, with no way to cut it short.
        const bool muto = interrotto();
        for (auto& [chiave, c] : client) {
            if (c.vista) {
                g_signal_handlers_disconnect_by_data(c.vista.get(), this);
                if (!muto)
                    e_cal_client_view_stop(c.vista.get(), nullptr);
            }
            g_signal_handlers_disconnect_by_data(c.client.get(), this);
        }
        client.clear();
        if (registro)
            g_signal_handlers_disconnect_by_data(registro.get(), this);
        registro.reset();
        proprietario.clear();
        visti.clear();
    }
};

CalendariEds::CalendariEds() : s_(std::make_unique<Stato>()) {}

CalendariEds::~CalendariEds()
{
    s_->chiudi();
    if (s_->annullamento)
        g_object_unref(s_->annullamento);
}

QString CalendariEds::nonRisponde() { return QCoreApplication::translate("Halvora", "Il calendario non risponde."); }

void CalendariEds::inizioLavoro(quint64 n)
{
    std::lock_guard l(s_->guardia);
    s_->lavoro = n;
    if (s_->annullamento)
        g_object_unref(s_->annullamento);
    s_->annullamento = g_cancellable_new();
    if (n <= s_->scadutiFinoA)
        g_cancellable_cancel(s_->annullamento);
}

void CalendariEds::interrompi(quint64 n)
{
    std::lock_guard l(s_->guardia);
    s_->scadutiFinoA = std::max(s_->scadutiFinoA, n);
    if (s_->annullamento && s_->lavoro <= n)
        g_cancellable_cancel(s_->annullamento);
}

bool CalendariEds::interrotto() const { return s_->interrotto(); }

std::optional<bool> CalendariEds::sulBus()
{
    GCancellable* annulla = s_->annulla();
    Rif<GDBusConnection> bus = busDiSessione(annulla, nullptr);
    const bool si = bus && (proprietario(bus.get(), annulla) || avvia(bus.get(), annulla, nullptr));
    if (g_cancellable_is_cancelled(annulla))
        return std::nullopt;
    return si;
}

bool CalendariEds::connetti(QString* errore)
{
    GCancellable* annulla = s_->annulla();
    Rif<GDBusConnection> bus = busDiSessione(annulla, errore);
    if (!bus) {
        s_->chiudi();
        return false;
    }
    auto chi = proprietario(bus.get(), annulla);
    if (!chi) {
        if (!avvia(bus.get(), annulla, errore)) {
            s_->chiudi();
            return false;
        }
        chi = proprietario(bus.get(), annulla);
    }
    if (!chi) {
        scrivi(errore, g_cancellable_is_cancelled(annulla) ? nonRisponde() : QStringLiteral("Evolution Data Server non risponde"));
        s_->chiudi();
        return false;
    }
    if (s_->registro && *chi == s_->proprietario)
        return true;
    // Started again since we last connected: every client and view is gone with it.
    const bool riconnessione = !s_->proprietario.isEmpty();
    s_->chiudi();
    if (!registroRisponde(bus.get(), *chi, annulla, errore))
        return false;
    GError* e = nullptr;
    ESourceRegistry* r = e_source_registry_new_sync(annulla, &e);
    if (!r) {
        scrivi(errore, messaggio(e));
        return false;
    }
    s_->registro.reset(r);
    s_->proprietario = *chi;
    for (const char* segnale : {"source-added", "source-removed", "source-enabled", "source-disabled"})
        g_signal_connect(r, segnale, G_CALLBACK(Stato::suCambio), s_.get());
    g_signal_connect(r, "source-changed", G_CALLBACK(Stato::suSorgenteCambiata), s_.get());
    if (riconnessione)
        s_->notifica();
    return true;
}

QList<CalendariEds::Sorgente> CalendariEds::sorgenti(Tipo tipo)
{
    QList<Sorgente> lista;
    if (!s_->registro)
        return lista;
    GList* elenco = e_source_registry_list_enabled(s_->registro.get(), estensione(tipo));
    for (GList* i = elenco; i; i = i->next) {
        auto* sorgente = E_SOURCE(i->data);
        if (daiContatti(sorgente, tipo))
            continue;
        Sorgente s{QString::fromUtf8(e_source_get_uid(sorgente)), QString::fromUtf8(e_source_get_display_name(sorgente)),
                   Stato::colore(sorgente)};
        s_->visti.insert(s.uid, qMakePair(s.nome, s.colore));
        lista.append(std::move(s));
    }
    g_list_free_full(elenco, g_object_unref);
    std::stable_sort(lista.begin(), lista.end(), [](const Sorgente& a, const Sorgente& b) {
        return QString::localeAwareCompare(a.nome, b.nome) < 0;
    });
    return lista;
}

std::optional<QList<CalendariEds::Istanza>> CalendariEds::istanze(const QString& sorgente, const QDateTime& da,
                                                                  const QDateTime& a, QString* errore)
{
    ECalClient* c = s_->clientDi(sorgente, Tipo::eventi, errore);
    if (!c)
        return std::nullopt;
    ICalTimezone* locale = zonaLocale();
    e_cal_client_set_default_timezone(c, locale); // floating times are local ones

    struct Raccolta {
        QList<Istanza> lista;
        ICalTimezone* locale;
    } raccolta{{}, locale};
    e_cal_client_generate_instances_sync(
        c, time_t(da.toSecsSinceEpoch()), time_t(a.toSecsSinceEpoch()), s_->annulla(),
        [](ICalComponent* comp, ICalTime* inizio, ICalTime* fine, gpointer dati, GCancellable*, GError**) -> gboolean {
            auto* r = static_cast<Raccolta*>(dati);
            Istanza i;
            i.componente = testoDi(comp);
            i.interaGiornata = i_cal_time_is_date(inizio);
            if (i.interaGiornata) {
                i.giornoInizio = giorno(inizio);
                i.giornoFine = i_cal_time_is_date(fine) ? giorno(fine) : i.giornoInizio.addDays(1);
            } else {
                i.inizio = momento(inizio, r->locale);
                i.fine = momento(fine, r->locale);
            }
            r->lista.append(std::move(i));
            return TRUE;
        },
        &raccolta);
    if (!raccolta.lista.isEmpty())
        return raccolta.lista;

    // The expansion reports no failure: nothing found is asked again in a
    // way that does, so a calendar that cannot be read is not shown as empty.
    gchar* inizio = isodate_from_time_t(time_t(da.toSecsSinceEpoch()));
    gchar* fine = isodate_from_time_t(time_t(a.toSecsSinceEpoch()));
    const QByteArray sexp = QByteArray("(occur-in-time-range? (make-time \"") + inizio + "\") (make-time \"" + fine + "\"))";
    g_free(inizio);
    g_free(fine);
    GSList* voci = nullptr;
    GError* e = nullptr;
    if (!e_cal_client_get_object_list_sync(c, sexp.constData(), &voci, s_->annulla(), &e)) {
        scrivi(errore, messaggio(e));
        s_->scordaClient(sorgente, Tipo::eventi);
        return std::nullopt;
    }
    g_slist_free_full(voci, g_object_unref);
    return raccolta.lista;
}

std::optional<QByteArray> CalendariEds::promemoriaAperti(const QString& sorgente, QString* errore)
{
    ECalClient* c = s_->clientDi(sorgente, Tipo::promemoria, errore);
    if (!c)
        return std::nullopt;
    GSList* voci = nullptr;
    GError* e = nullptr;
    if (!e_cal_client_get_object_list_sync(c, "(not (is-completed?))", &voci, s_->annulla(), &e)) {
        scrivi(errore, messaggio(e));
        s_->scordaClient(sorgente, Tipo::promemoria);
        return std::nullopt;
    }
    QList<ICalComponent*> lista;
    for (GSList* i = voci; i; i = i->next)
        lista.append(I_CAL_COMPONENT(i->data));
    const QByteArray testo = calendarioCon(c, lista, s_->annulla());
    g_slist_free_full(voci, g_object_unref);
    return testo;
}

CalendariEds::Esito CalendariEds::oggetto(const QString& sorgente, Tipo tipo, const QString& uid,
                                          QByteArray* calendario, QString* errore)
{
    ECalClient* c = s_->clientDi(sorgente, tipo, errore);
    if (!c)
        return Esito::errore;
    ICalComponent* voce = nullptr;
    GError* e = nullptr;
    if (!e_cal_client_get_object_sync(c, uid.toUtf8().constData(), nullptr, &voce, s_->annulla(), &e)) {
        const bool assente = g_error_matches(e, E_CAL_CLIENT_ERROR, E_CAL_CLIENT_ERROR_OBJECT_NOT_FOUND);
        scrivi(errore, messaggio(e));
        return assente ? Esito::nonTrovato : Esito::errore;
    }
    Rif<ICalComponent> tenuta(voce);
    QList<ICalComponent*> lista;
    std::vector<Rif<ICalComponent>> figli;
    // An item with moved occurrences comes as a VCALENDAR of them all.
    if (i_cal_component_isa(voce) == I_CAL_VCALENDAR_COMPONENT) {
        for (ICalComponent* f = i_cal_component_get_first_component(voce, I_CAL_ANY_COMPONENT); f;
             f = i_cal_component_get_next_component(voce, I_CAL_ANY_COMPONENT)) {
            figli.emplace_back(f);
            if (i_cal_component_isa(f) != I_CAL_VTIMEZONE_COMPONENT)
                lista.append(f);
        }
    } else {
        lista.append(voce);
    }
    *calendario = calendarioCon(c, lista, s_->annulla());
    return Esito::fatto;
}

std::optional<QString> CalendariEds::elencoPredefinito(const QString& nominato)
{
    if (!s_->registro)
        return std::nullopt;
    const QList<Sorgente> elenchi = sorgenti(Tipo::promemoria);
    if (!nominato.isEmpty())
        for (const Sorgente& s : elenchi)
            if (s.uid == nominato || s.nome == nominato)
                return s.uid;
    Rif<ESource> predefinito(e_source_registry_ref_default_task_list(s_->registro.get()));
    if (!predefinito)
        return std::nullopt;
    const QString uid = QString::fromUtf8(e_source_get_uid(predefinito.get()));
    for (const Sorgente& s : elenchi)
        if (s.uid == uid)
            return uid;
    return std::nullopt; // the default list is switched off
}

namespace {

// Walks the items of a VCALENDAR text, adding its zones to the store first.
template<class F>
bool perOgniVoce(ECalClient* c, const QByteArray& calendario, GCancellable* annulla, QString* errore, F scriviVoce)
{
    Rif<ICalComponent> radice(i_cal_component_new_from_string(calendario.constData()));
    if (!radice) {
        scrivi(errore, QStringLiteral("iCalendar non valido"));
        return false;
    }
    std::vector<Rif<ICalComponent>> figli;
    for (ICalComponent* f = i_cal_component_get_first_component(radice.get(), I_CAL_ANY_COMPONENT); f;
         f = i_cal_component_get_next_component(radice.get(), I_CAL_ANY_COMPONENT))
        figli.emplace_back(f);
    GError* e = nullptr;
    for (const auto& f : figli)
        if (i_cal_component_isa(f.get()) == I_CAL_VTIMEZONE_COMPONENT) {
            Rif<ICalTimezone> zona(i_cal_timezone_new());
            // The zone takes the component over, so it gets a copy of its own.
            Rif<ICalComponent> copia(i_cal_component_clone(f.get()));
            i_cal_timezone_set_component(zona.get(), copia.get());
            if (!e_cal_client_add_timezone_sync(c, zona.get(), annulla, &e)) {
                scrivi(errore, messaggio(e));
                return false;
            }
        }
    for (const auto& f : figli) {
        const ICalComponentKind tipo = i_cal_component_isa(f.get());
        if (tipo != I_CAL_VEVENT_COMPONENT && tipo != I_CAL_VTODO_COMPONENT)
            continue;
        if (!scriviVoce(f.get(), &e)) {
            scrivi(errore, messaggio(e));
            return false;
        }
    }
    return true;
}

} // namespace

bool CalendariEds::crea(const QString& sorgente, Tipo tipo, const QByteArray& calendario, QString* errore)
{
    ECalClient* c = s_->clientDi(sorgente, tipo, errore);
    GCancellable* annulla = s_->annulla();
    return c && perOgniVoce(c, calendario, annulla, errore, [c, annulla](ICalComponent* voce, GError** e) {
               gchar* uid = nullptr;
               const bool fatto = e_cal_client_create_object_sync(c, voce, E_CAL_OPERATION_FLAG_NONE, &uid, annulla, e);
               g_free(uid);
               return fatto;
           });
}

bool CalendariEds::modifica(const QString& sorgente, Tipo tipo, const QByteArray& calendario, QString* errore)
{
    ECalClient* c = s_->clientDi(sorgente, tipo, errore);
    GCancellable* annulla = s_->annulla();
    return c && perOgniVoce(c, calendario, annulla, errore, [c, annulla](ICalComponent* voce, GError** e) {
               // A repeating item is changed as a whole series.
               Rif<ICalProperty> regola(i_cal_component_get_first_property(voce, I_CAL_RRULE_PROPERTY));
               const ECalObjModType modo = regola ? E_CAL_OBJ_MOD_ALL : E_CAL_OBJ_MOD_THIS;
               return e_cal_client_modify_object_sync(c, voce, modo, E_CAL_OPERATION_FLAG_NONE, annulla, e) != FALSE;
           });
}

void CalendariEds::alCambio(std::function<void()> cambiato) { s_->cambiato = std::move(cambiato); }

void CalendariEds::chiudi() { s_->chiudi(); }
