#pragma once

#include "SceltePromemoria.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <libical/ical.h>
#include <memory>
#include <optional>
#include <vector>

// Small helpers over libical for the calendar store: ownership, the
// conversions between iCalendar times and QDateTime, and recurrences.
namespace Ical {

struct Libera {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Componente = std::unique_ptr<icalcomponent, Libera>;

// Parses a calendar file; nothing when it holds no calendar.
Componente leggi(const QByteArray& contenuto);
QByteArray comeTesto(icalcomponent* radice);
// Whether the file parsed whole: lines libical could not read become error
// properties, and writing them back would lose what they held.
bool integro(icalcomponent* radice);

// The VCALENDARs of a parsed file (one, or several under an XROOT).
QList<icalcomponent*> calendari(icalcomponent* radice);
// The components of one kind in every calendar of the file, in file order.
std::vector<icalcomponent*> componenti(icalcomponent* radice, icalcomponent_kind tipo);

// Wall-clock times are converted through the system zone's own table, read
// again at the start of every store operation (aggiornaZonaLocale): the C
// library's local time re-reads the zone file at every call, which made a
// refresh of a large store many times slower.
void aggiornaZonaLocale();
// A local date and time as a UTC moment, and a moment in local time.
QDateTime daLocale(const QDate& giorno, const QTime& ora);
QDateTime inLocale(const QDateTime& quando);

// The moment of an iCalendar time, in UTC: a date is the start of that local day,
// a floating time is local wall-clock time. Null gives an invalid QDateTime.
QDateTime data(const icaltimetype& t);
icaltimetype utc(const QDateTime& quando);
// A wall-clock time without zone, as the due time of a reminder is kept;
// `alMinuto` drops the seconds.
icaltimetype fluttuante(const QDateTime& quando, bool alMinuto = false);
icalrecurrencetype regola(RipetizionePromemoria r);

// A start, end or due property read with its TZID resolved: the file's own
// VTIMEZONE, else a zone of that name (IANA or Windows), else the zone the
// calendar names in X-WR-TIMEZONE; only when none resolves is it floating.
icaltimetype valore(icalcomponent* c, icalproperty_kind tipo);
icaltimetype scadenza(icalcomponent* todo);
// Replaces DUE (and a DURATION that would contradict it), keeping the zone.
void impostaScadenza(icalcomponent* todo, icaltimetype t);
void impostaInizio(icalcomponent* c, icaltimetype t);
// Replaces every property of the new one's kind with it.
void sostituisci(icalcomponent* c, icalproperty* nuova);

// The first occurrence of `regola`, anchored at `ancora`, strictly after `dopo`.
std::optional<icaltimetype> primaOccorrenzaDopo(const icalrecurrencetype& regola, const icaltimetype& ancora,
                                                const QDateTime& dopo);

// One event, or one occurrence of a repeating event, within a window.
struct Occorrenza {
    icalcomponent* evento = nullptr;
    QDateTime inizio, fine;
    bool interaGiornata = false;
    bool ripetuto = false;
};
// The events of a file that overlap [da, a), repeating ones expanded with
// their RRULE, RDATE and EXDATE, and occurrences moved by a RECURRENCE-ID
// taken from their own component.
std::vector<Occorrenza> eventiNellaFinestra(icalcomponent* radice, const QDateTime& da, const QDateTime& a);

} // namespace Ical
