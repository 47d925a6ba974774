#include "VociIcal.h"

#include "Testi.h"

#include <QCoreApplication>
#include <QUuid>

namespace {


QString testo(const char* s) { return s ? QString::fromUtf8(s) : QString(); }

bool chiuso(icalcomponent* todo)
{
    const icalproperty_status stato = icalcomponent_get_status(todo);
    return stato == ICAL_STATUS_COMPLETED || stato == ICAL_STATUS_CANCELLED
        || icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY) != nullptr;
}

// A due time kept to the minute: wall-clock time, or in `zona`.
icaltimetype alMinuto(const QDateTime& quando, icaltimezone* zona)
{
    icaltimetype t = Ical::fluttuante(quando, true);
    t.zone = zona;
    return t;
}

void aggiungiAllarme(icalcomponent* todo, const QString& titolo, icaltriggertype quando, bool relativoAllaScadenza)
{
    icalcomponent* allarme = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(allarme, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(allarme, icalproperty_new_description(titolo.toUtf8().constData()));
    icalproperty* trigger = icalproperty_new_trigger(quando);
    // For a to-do, END relates the alarm to its due time.
    if (relativoAllaScadenza)
        icalproperty_add_parameter(trigger, icalparameter_new_related(ICAL_RELATED_END));
    icalcomponent_add_property(allarme, trigger);
    icalcomponent_add_component(todo, allarme);
}

void aggiungiAllarmeAssoluto(icalcomponent* todo, const QDateTime& quando)
{
    icaltriggertype trigger{};
    trigger.time = Ical::utc(quando);
    trigger.duration = icaldurationtype_null_duration();
    aggiungiAllarme(todo, testo(icalcomponent_get_summary(todo)), trigger, false);
}

// Removes the alarms at a fixed moment, or every alarm.
void togliAllarmi(icalcomponent* todo, bool soloAssoluti)
{
    std::vector<icalcomponent*> via;
    for (icalcomponent* a = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        const bool assoluto = p && !icaltime_is_null_time(icalproperty_get_trigger(p).time);
        if (!soloAssoluti || assoluto)
            via.push_back(a);
    }
    for (icalcomponent* a : via) {
        icalcomponent_remove_component(todo, a);
        icalcomponent_free(a);
    }
}

void segnaCompletato(icalcomponent* todo, const QDateTime& ora)
{
    icalcomponent_set_status(todo, ICAL_STATUS_COMPLETED);
    Ical::sostituisci(todo, icalproperty_new_completed(Ical::utc(ora)));
    Ical::sostituisci(todo, icalproperty_new_percentcomplete(100));
}

// Moves a repeating to-do to the first occurrence of its rule after its
// current due time. The rule stays anchored at DTSTART (written from the
// due time when missing), so a snooze does not shift later occurrences and
// COUNT and UNTIL keep their meaning. False when the rule has ended.
bool avanza(icalcomponent* todo)
{
    icalproperty* regola = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY);
    const icaltimetype scadenza = Ical::scadenza(todo);
    if (!regola || icaltime_is_null_time(scadenza))
        return false;
    icaltimetype ancora = Ical::valore(todo, ICAL_DTSTART_PROPERTY);
    if (icaltime_is_null_time(ancora)) {
        ancora = scadenza;
        Ical::impostaInizio(todo, ancora);
    }
    const QDateTime dopo = Ical::data(scadenza);
    const auto prossima = Ical::primaOccorrenzaDopo(icalproperty_get_rrule(regola), ancora, dopo);
    if (!prossima)
        return false;
    // DUE keeps the form it had: a date, or a time in its own zone.
    icaltimetype nuova = *prossima;
    if (scadenza.is_date) {
        nuova.is_date = 1;
        nuova.hour = nuova.minute = nuova.second = 0;
    }
    Ical::impostaScadenza(todo, nuova);
    togliAllarmi(todo, true);
    return true;
}

} // namespace

namespace VociIcal {

Impegno impegno(const Ical::Occorrenza& o, const QColor& colore)
{
    Impegno i;
    const QString uid = testo(icalcomponent_get_uid(o.evento));
    i.id = uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                         : (o.ripetuto ? uid + QLatin1Char('/') + o.inizio.toUTC().toString(Qt::ISODate) : uid);
    i.titolo = testo(icalcomponent_get_summary(o.evento));
    if (i.titolo.isEmpty())
        i.titolo = Testi::tr("Impegno");
    i.inizio = o.inizio;
    i.fine = o.fine;
    const QString luogo = testo(icalcomponent_get_location(o.evento));
    if (!luogo.isEmpty())
        i.luogo = luogo;
    i.interaGiornata = o.interaGiornata;
    i.colore = colore;
    // An occurrence moved or called off by a RECURRENCE-ID is its own component here.
    i.annullato = icalcomponent_get_status(o.evento) == ICAL_STATUS_CANCELLED;
    return i;
}

std::optional<Promemoria> promemoria(icalcomponent* todo, const QDateTime& limite)
{
    if (chiuso(todo))
        return std::nullopt;
    Promemoria p;
    const icaltimetype scadenza = Ical::scadenza(todo);
    if (!icaltime_is_null_time(scadenza)) {
        const QDateTime quando = Ical::data(scadenza);
        if (quando.isValid()) {
            if (quando >= limite)
                return std::nullopt;
            p.scadenza = quando;
        }
    }
    p.id = testo(icalcomponent_get_uid(todo));
    if (p.id.isEmpty())
        p.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    p.titolo = testo(icalcomponent_get_summary(todo));
    if (p.titolo.isEmpty())
        p.titolo = Testi::tr("Promemoria");
    p.siRipete = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY) != nullptr;
    return p;
}

Ical::Componente nuovo(const NuovoPromemoria& nuovo, const QDateTime& ora, icaltimezone* zona)
{
    Ical::Componente todo(icalcomponent_new(ICAL_VTODO_COMPONENT));
    icalcomponent* c = todo.get();
    icalcomponent_set_uid(c, QUuid::createUuid().toString(QUuid::WithoutBraces).toUtf8().constData());
    icalcomponent_add_property(c, icalproperty_new_dtstamp(Ical::utc(ora)));
    icalcomponent_add_property(c, icalproperty_new_created(Ical::utc(ora)));
    icalcomponent_set_summary(c, nuovo.titolo.toUtf8().constData());
    icalcomponent_set_status(c, ICAL_STATUS_NEEDSACTION);
    const icaltimetype scadenza = alMinuto(nuovo.scadenza, zona);
    Ical::impostaScadenza(c, scadenza);

    if (nuovo.ripetizione == RipetizionePromemoria::mai) {
        aggiungiAllarmeAssoluto(c, nuovo.scadenza.addSecs(nuovo.anticipo));
    } else {
        Ical::impostaInizio(c, scadenza); // the anchor of the rule
        icalcomponent_add_property(c, icalproperty_new_rrule(Ical::regola(nuovo.ripetizione)));
        icaltriggertype trigger{};
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(nuovo.anticipo);
        aggiungiAllarme(c, nuovo.titolo, trigger, true);
    }
    return todo;
}

void completa(icalcomponent* todo, const QDateTime& ora)
{
    if (!avanza(todo))
        segnaCompletato(todo, ora);
    Ical::sostituisci(todo, icalproperty_new_lastmodified(Ical::utc(ora)));
}

void rimanda(icalcomponent* todo, const QDateTime& quando, icaltimezone* zona)
{
    Ical::impostaScadenza(todo, alMinuto(quando, zona));
    const bool ripetuto = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY) != nullptr;
    togliAllarmi(todo, ripetuto);
    aggiungiAllarmeAssoluto(todo, quando);
}

} // namespace VociIcal
