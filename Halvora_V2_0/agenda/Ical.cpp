#include "Ical.h"

#include <QHash>
#include <QSet>
#include <QTimeZone>
#include <cstdlib>
#include <set>

namespace Ical {

namespace {

// Occurrences looked at per rule: a runaway rule (every second for years)
// must not stall the worker.
constexpr int kMassimoOccorrenze = 100000;

thread_local QTimeZone zonaLocale;
thread_local bool zonaLetta = false;

const QTimeZone* zona()
{
    if (!zonaLetta)
        aggiornaZonaLocale();
    return zonaLocale.isValid() ? &zonaLocale : nullptr;
}

// A zone by its name alone: an IANA name, libical's own form of one, or a
// Windows name as Outlook writes them.
icaltimezone* zonaPerNome(const char* nome)
{
    if (icaltimezone* z = icaltimezone_get_builtin_timezone(nome))
        return z;
    if (icaltimezone* z = icaltimezone_get_builtin_timezone_from_tzid(nome))
        return z;
    const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(QByteArray(nome));
    return iana.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(iana.constData());
}

const char* zonaDelCalendario(icalcomponent* calendario)
{
    for (icalproperty* x = icalcomponent_get_first_property(calendario, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(calendario, ICAL_X_PROPERTY))
        if (const char* nome = icalproperty_get_x_name(x); nome && qstricmp(nome, "X-WR-TIMEZONE") == 0)
            return icalproperty_get_value_as_string(x);
    return nullptr;
}

icaltimezone* zonaDi(icalproperty* p)
{
    icalparameter* par = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
    const char* tzid = par ? icalparameter_get_tzid(par) : nullptr;
    if (!tzid || !*tzid)
        return nullptr;
    icalcomponent* c = icalproperty_get_parent(p);
    while (c && icalcomponent_isa(c) != ICAL_VCALENDAR_COMPONENT)
        c = icalcomponent_get_parent(c);
    if (c)
        if (icaltimezone* z = icalcomponent_get_timezone(c, tzid))
            return z;
    if (icaltimezone* z = zonaPerNome(tzid))
        return z;
    // A zone the file names but neither describes nor is known anywhere:
    // the calendar's own zone is the best guess of what its writer meant.
    if (const char* delCalendario = c ? zonaDelCalendario(c) : nullptr; delCalendario && *delCalendario)
        if (icaltimezone* z = zonaPerNome(delCalendario))
            return z;
    // Said once per name, and for a few names only: a file may hold thousands.
    thread_local QSet<QByteArray> segnalate;
    if (segnalate.size() < 32 && !segnalate.contains(tzid)) {
        segnalate.insert(tzid);
        qWarning("Fuso orario sconosciuto \"%s\": le sue ore sono lette come ore locali", tzid);
    }
    return nullptr;
}

icaltimetype conZona(icaltimetype t, icalproperty* p)
{
    if (!icaltime_is_null_time(t) && !t.is_date && !icaltime_is_utc(t))
        if (icaltimezone* z = zonaDi(p))
            t.zone = z;
    return t;
}

// `quando` written the way `modello` is: a date, UTC, in its zone, or floating.
icaltimetype comeModello(const QDateTime& quando, const icaltimetype& modello)
{
    if (modello.is_date) {
        const QDate d = inLocale(quando).date();
        icaltimetype t = icaltime_null_date();
        t.year = d.year();
        t.month = d.month();
        t.day = d.day();
        return t;
    }
    if (icaltime_is_utc(modello))
        return utc(quando);
    if (modello.zone)
        return icaltime_from_timet_with_zone(quando.toSecsSinceEpoch(), 0, const_cast<icaltimezone*>(modello.zone));
    return fluttuante(quando);
}

void aggiungiZona(icalproperty* p, const icaltimetype& t)
{
    if (!t.zone || t.is_date || icaltime_is_utc(t))
        return;
    auto* z = const_cast<icaltimezone*>(t.zone);
    // A zone of libical's own table goes by its IANA name, which every
    // reader knows, not by libical's prefixed id: the file carries no
    // VTIMEZONE for it.
    const char* luogo = icaltimezone_get_location(z);
    const char* tzid = luogo && icaltimezone_get_builtin_timezone(luogo) == z ? luogo : icaltimezone_get_tzid(z);
    if (tzid)
        icalproperty_add_parameter(p, icalparameter_new_tzid(tzid));
}

void togli(icalcomponent* c, icalproperty_kind tipo)
{
    while (icalproperty* p = icalcomponent_get_first_property(c, tipo)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

// The anchor of a rule that repeats at a fixed pace (seconds to weeks),
// moved forward by whole steps of wall-clock time to before `daCercare`:
// its occurrences from there on are the same, and a rule started centuries
// ago is walked from the time asked, not from its start. The days are
// counted in the Gregorian calendar, before 1582 too, as the times read
// from the file are. Counted rules, and those of months and years, whose
// lengths vary, keep their anchor.
icaltimetype anticipa(const icalrecurrencetype& r, icaltimetype ancora, const QDateTime& daCercare)
{
    qint64 passo = 0; // seconds of wall-clock time between two steps
    switch (r.freq) {
    case ICAL_SECONDLY_RECURRENCE: passo = 1; break;
    case ICAL_MINUTELY_RECURRENCE: passo = 60; break;
    case ICAL_HOURLY_RECURRENCE: passo = 3600; break;
    case ICAL_DAILY_RECURRENCE: passo = 86400; break;
    case ICAL_WEEKLY_RECURRENCE: passo = 7 * 86400; break;
    default: return ancora;
    }
    passo *= std::max<qint64>(r.interval, 1);
    if (r.count != 0 || (ancora.is_date && passo % 86400 != 0))
        return ancora;
    // Both as wall-clock times, with no zone: steps are taken on the clock's face.
    const QDateTime da(QDate(ancora.year, ancora.month, ancora.day),
                       ancora.is_date ? QTime(0, 0) : QTime(ancora.hour, ancora.minute, std::min(ancora.second, 59)),
                       Qt::UTC);
    const icaltimetype meta = comeModello(daCercare, ancora);
    const QDateTime a(QDate(meta.year, meta.month, meta.day), QTime(meta.hour, meta.minute, std::min(meta.second, 59)),
                      Qt::UTC);
    if (!da.isValid() || !a.isValid())
        return ancora;
    // A day's margin for the zone's offsets.
    const qint64 distanza = da.secsTo(a) - 86400;
    if (distanza < passo)
        return ancora;
    const QDateTime nuovo = da.addSecs(distanza / passo * passo);
    ancora.year = nuovo.date().year();
    ancora.month = nuovo.date().month();
    ancora.day = nuovo.date().day();
    if (!ancora.is_date) {
        ancora.hour = nuovo.time().hour();
        ancora.minute = nuovo.time().minute();
        ancora.second = nuovo.time().second();
    }
    return ancora;
}

// Calls `f(t, quando)` for each occurrence of the rule before `fino`,
// starting near `daCercare` when the rule allows it; `f` returns false to stop.
template<class F>
void perOgniOccorrenza(const icalrecurrencetype& r, const icaltimetype& inizio, const QDateTime& daCercare,
                       const QDateTime& fino, F f)
{
    const icaltimetype ancora = anticipa(r, inizio, daCercare);
    icalrecur_iterator* it = icalrecur_iterator_new(r, ancora);
    if (!it)
        return;
    // Skipping ahead is refused for COUNT rules, which are walked from the start.
    if (r.count == 0 && daCercare > data(ancora))
        icalrecur_iterator_set_start(it, comeModello(daCercare, ancora));
    for (int n = 0; n < kMassimoOccorrenze; ++n) {
        icaltimetype t = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(t))
            break;
        // Occurrences are in the anchor's zone and form.
        t.zone = ancora.zone;
        t.is_date = ancora.is_date;
        const QDateTime quando = data(t);
        if (!quando.isValid() || quando >= fino || !f(t, quando))
            break;
    }
    icalrecur_iterator_free(it);
}

bool sovrappone(const QDateTime& inizio, const QDateTime& fine, const QDateTime& da, const QDateTime& a)
{
    if (inizio >= a)
        return false;
    return fine > da || (fine <= inizio && inizio >= da);
}

} // namespace

void aggiornaZonaLocale()
{
    zonaLocale = QTimeZone::systemTimeZone();
    zonaLetta = true;
}

QDateTime daLocale(const QDate& giorno, const QTime& ora)
{
    const QTimeZone* z = zona();
    return (z ? QDateTime(giorno, ora, *z) : QDateTime(giorno, ora, Qt::LocalTime)).toUTC();
}

QDateTime inLocale(const QDateTime& quando)
{
    const QTimeZone* z = zona();
    return z ? quando.toTimeZone(*z) : quando.toLocalTime();
}

Componente leggi(const QByteArray& contenuto)
{
    Componente c(icalparser_parse_string(contenuto.constData()));
    if (c && calendari(c.get()).isEmpty())
        c.reset();
    return c;
}

QByteArray comeTesto(icalcomponent* radice)
{
    // Several calendars in one file parse under an XROOT, which is no text
    // of its own: the file is its calendars one after another.
    if (icalcomponent_isa(radice) == ICAL_XROOT_COMPONENT) {
        QByteArray testo;
        for (icalcomponent* c = icalcomponent_get_first_component(radice, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(radice, ICAL_ANY_COMPONENT))
            testo += comeTesto(c);
        return testo;
    }
    char* s = icalcomponent_as_ical_string_r(radice);
    QByteArray testo(s);
    std::free(s);
    return testo;
}

bool integro(icalcomponent* radice) { return icalcomponent_count_errors(radice) == 0; }

QList<icalcomponent*> calendari(icalcomponent* radice)
{
    if (!radice)
        return {};
    if (icalcomponent_isa(radice) == ICAL_VCALENDAR_COMPONENT)
        return {radice};
    QList<icalcomponent*> lista;
    if (icalcomponent_isa(radice) == ICAL_XROOT_COMPONENT)
        for (icalcomponent* c = icalcomponent_get_first_component(radice, ICAL_VCALENDAR_COMPONENT); c;
             c = icalcomponent_get_next_component(radice, ICAL_VCALENDAR_COMPONENT))
            lista.append(c);
    return lista;
}

std::vector<icalcomponent*> componenti(icalcomponent* radice, icalcomponent_kind tipo)
{
    std::vector<icalcomponent*> lista;
    for (icalcomponent* cal : calendari(radice))
        for (icalcomponent* c = icalcomponent_get_first_component(cal, tipo); c;
             c = icalcomponent_get_next_component(cal, tipo))
            lista.push_back(c);
    return lista;
}

QDateTime data(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return {};
    const QDate giorno(t.year, t.month, t.day);
    if (!giorno.isValid())
        return {};
    if (t.is_date)
        return daLocale(giorno, QTime(0, 0));
    const QTime ora(t.hour, t.minute, std::min(t.second, 59));
    if (icaltime_is_utc(t))
        return QDateTime(giorno, ora, Qt::UTC);
    if (t.zone)
        return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone), Qt::UTC);
    return daLocale(giorno, ora);
}

icaltimetype utc(const QDateTime& quando)
{
    return icaltime_from_timet_with_zone(quando.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
}

icaltimetype fluttuante(const QDateTime& quando, bool alMinuto)
{
    const QDateTime l = inLocale(quando);
    icaltimetype t = icaltime_null_time();
    t.year = l.date().year();
    t.month = l.date().month();
    t.day = l.date().day();
    t.hour = l.time().hour();
    t.minute = l.time().minute();
    t.second = alMinuto ? 0 : l.time().second();
    t.is_date = 0;
    t.zone = nullptr;
    return t;
}

icalrecurrencetype regola(RipetizionePromemoria r)
{
    icalrecurrencetype regola;
    icalrecurrencetype_clear(&regola);
    regola.interval = 1;
    switch (r) {
    case RipetizionePromemoria::mai:
    case RipetizionePromemoria::ogniGiorno: regola.freq = ICAL_DAILY_RECURRENCE; break;
    case RipetizionePromemoria::ogniSettimana: regola.freq = ICAL_WEEKLY_RECURRENCE; break;
    case RipetizionePromemoria::ogniMese: regola.freq = ICAL_MONTHLY_RECURRENCE; break;
    case RipetizionePromemoria::ogniAnno: regola.freq = ICAL_YEARLY_RECURRENCE; break;
    }
    return regola;
}

icaltimetype valore(icalcomponent* c, icalproperty_kind tipo)
{
    icalproperty* p = icalcomponent_get_first_property(c, tipo);
    if (!p)
        return icaltime_null_time();
    icaltimetype t = icaltime_null_time();
    switch (tipo) {
    case ICAL_DTSTART_PROPERTY: t = icalproperty_get_dtstart(p); break;
    case ICAL_DTEND_PROPERTY: t = icalproperty_get_dtend(p); break;
    case ICAL_DUE_PROPERTY: t = icalproperty_get_due(p); break;
    case ICAL_RECURRENCEID_PROPERTY: t = icalproperty_get_recurrenceid(p); break;
    default: return icaltime_null_time();
    }
    return conZona(t, p);
}

icaltimetype scadenza(icalcomponent* todo)
{
    const icaltimetype due = valore(todo, ICAL_DUE_PROPERTY);
    if (!icaltime_is_null_time(due))
        return due;
    // DTSTART with DURATION stands for a due time.
    const icaltimetype inizio = valore(todo, ICAL_DTSTART_PROPERTY);
    icalproperty* durata = icalcomponent_get_first_property(todo, ICAL_DURATION_PROPERTY);
    if (icaltime_is_null_time(inizio) || !durata)
        return icaltime_null_time();
    return icaltime_add(inizio, icalproperty_get_duration(durata));
}

void impostaScadenza(icalcomponent* todo, icaltimetype t)
{
    togli(todo, ICAL_DUE_PROPERTY);
    togli(todo, ICAL_DURATION_PROPERTY);
    icalproperty* p = icalproperty_new_due(t);
    aggiungiZona(p, t);
    icalcomponent_add_property(todo, p);
}

void impostaInizio(icalcomponent* c, icaltimetype t)
{
    togli(c, ICAL_DTSTART_PROPERTY);
    icalproperty* p = icalproperty_new_dtstart(t);
    aggiungiZona(p, t);
    icalcomponent_add_property(c, p);
}

void sostituisci(icalcomponent* c, icalproperty* nuova)
{
    togli(c, icalproperty_isa(nuova));
    icalcomponent_add_property(c, nuova);
}

std::optional<icaltimetype> primaOccorrenzaDopo(const icalrecurrencetype& regola, const icaltimetype& ancora,
                                                const QDateTime& dopo)
{
    std::optional<icaltimetype> trovata;
    const QDateTime mai = dopo.addYears(1000);
    perOgniOccorrenza(regola, ancora, dopo.addDays(-1), mai, [&](const icaltimetype& t, const QDateTime& quando) {
        if (quando <= dopo)
            return true;
        trovata = t;
        return false;
    });
    return trovata;
}

std::vector<Occorrenza> eventiNellaFinestra(icalcomponent* radice, const QDateTime& daLocale, const QDateTime& aLocale)
{
    // Compared in UTC: cheap, and the same moment whatever the zone.
    const QDateTime da = daLocale.toUTC();
    const QDateTime a = aLocale.toUTC();
    const std::vector<icalcomponent*> eventi = componenti(radice, ICAL_VEVENT_COMPONENT);

    // Occurrences that a component of their own replaces (RECURRENCE-ID).
    QHash<QByteArray, QSet<qint64>> sostituite;
    for (icalcomponent* e : eventi) {
        const icaltimetype rid = valore(e, ICAL_RECURRENCEID_PROPERTY);
        if (!icaltime_is_null_time(rid))
            sostituite[QByteArray(icalcomponent_get_uid(e))].insert(data(rid).toSecsSinceEpoch());
    }

    // Days of the window, widened by a day for zone offsets: a single event
    // wholly outside them is skipped before any costly conversion.
    const QDate primoGiorno = inLocale(da).date().addDays(-1);
    const QDate ultimoGiorno = inLocale(a).date().addDays(1);
    const auto giornoDi = [](const icaltimetype& t) { return QDate(t.year, t.month, t.day); };

    std::vector<Occorrenza> trovate;
    for (icalcomponent* e : eventi) {
        const icaltimetype inizio = valore(e, ICAL_DTSTART_PROPERTY);
        const bool ripetuto = icaltime_is_null_time(valore(e, ICAL_RECURRENCEID_PROPERTY))
            && (icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY)
                || icalcomponent_get_first_property(e, ICAL_RDATE_PROPERTY));
        if (!ripetuto && !icaltime_is_null_time(inizio)) {
            if (giornoDi(inizio) > ultimoGiorno)
                continue;
            const icaltimetype fine = valore(e, ICAL_DTEND_PROPERTY);
            if (!icaltime_is_null_time(fine) && giornoDi(fine) < primoGiorno)
                continue;
            if (icaltime_is_null_time(fine) && !icalcomponent_get_first_property(e, ICAL_DURATION_PROPERTY)
                && giornoDi(inizio).addDays(1) < primoGiorno)
                continue;
        }
        const QDateTime primo = data(inizio);
        if (!primo.isValid())
            continue;
        const bool interaGiornata = inizio.is_date;

        // Length: DTEND, else DURATION, else a day for a date and nothing for a time.
        qint64 durataSecondi = 0;
        int durataGiorni = interaGiornata ? 1 : 0;
        const icaltimetype fineIcal = valore(e, ICAL_DTEND_PROPERTY);
        if (!icaltime_is_null_time(fineIcal)) {
            const QDateTime fine = data(fineIcal);
            if (interaGiornata)
                durataGiorni = int(std::max<qint64>(inLocale(primo).date().daysTo(inLocale(fine).date()), 1));
            else if (fine > primo)
                durataSecondi = primo.secsTo(fine);
        } else if (icalproperty* d = icalcomponent_get_first_property(e, ICAL_DURATION_PROPERTY)) {
            const int secondi = icaldurationtype_as_int(icalproperty_get_duration(d));
            if (interaGiornata)
                durataGiorni = std::max(secondi / 86400, 1);
            else
                durataSecondi = std::max(secondi, 0);
        }
        const auto fineDi = [&](const QDateTime& s) {
            return interaGiornata ? Ical::daLocale(inLocale(s).date().addDays(durataGiorni), QTime(0, 0))
                                  : s.addSecs(durataSecondi);
        };

        if (!ripetuto) {
            const QDateTime fine = fineDi(primo);
            if (sovrappone(primo, fine, da, a))
                trovate.push_back({e, primo, fine, interaGiornata, false});
            continue;
        }

        QSet<qint64> escluse = sostituite.value(QByteArray(icalcomponent_get_uid(e)));
        QSet<QDate> giorniEsclusi;
        for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_EXDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype x = conZona(icalproperty_get_exdate(p), p);
            if (x.is_date)
                giorniEsclusi.insert(QDate(x.year, x.month, x.day));
            else
                escluse.insert(data(x).toSecsSinceEpoch());
        }
        std::set<qint64> viste;
        const auto aggiungi = [&](const QDateTime& s) {
            const QDateTime fine = fineDi(s);
            if (!viste.insert(s.toSecsSinceEpoch()).second || escluse.contains(s.toSecsSinceEpoch())
                || giorniEsclusi.contains(inLocale(s).date()) || !sovrappone(s, fine, da, a))
                return;
            trovate.push_back({e, s, fine, interaGiornata, true});
        };

        aggiungi(primo); // DTSTART is always the first occurrence
        // Start looking one event length (and a day for safety) before the window.
        const QDateTime daCercare = interaGiornata ? da.addDays(-durataGiorni - 1) : da.addSecs(-durataSecondi).addDays(-1);
        for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(e, ICAL_RRULE_PROPERTY))
            perOgniOccorrenza(icalproperty_get_rrule(p), inizio, daCercare, a, [&](const icaltimetype&, const QDateTime& s) {
                aggiungi(s);
                return true;
            });
        for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(e, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
            const icaltimetype t = icaltime_is_null_time(r.time) ? r.period.start : r.time;
            const QDateTime s = data(conZona(t, p));
            if (s.isValid())
                aggiungi(s);
        }
    }
    return trovate;
}

} // namespace Ical
