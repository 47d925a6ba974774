#pragma once

#include "ArchivioAgenda.h"
#include "Ical.h"

#include <QColor>

// The agenda's items in iCalendar terms, the same for every store: what an
// event or a to-do shows, and how a reminder is written, completed and
// snoozed. `zona` is the zone a new due time is written in; none writes it
// as wall-clock time.
namespace VociIcal {

// An event (or one occurrence of it) of a calendar of that colour.
Impegno impegno(const Ical::Occorrenza& o, const QColor& colore);
// A to-do as an open reminder; nothing when it is closed, or due at or after `limite`.
std::optional<Promemoria> promemoria(icalcomponent* todo, const QDateTime& limite);

// A new VTODO, with its alarm and, for a repeating one, its rule.
Ical::Componente nuovo(const NuovoPromemoria& nuovo, const QDateTime& ora, icaltimezone* zona);
// Done: a repeating to-do moves to its next occurrence, and closes when its rule has none left.
void completa(icalcomponent* todo, const QDateTime& ora);
// Due again at `quando`, with one alarm then; a repeating one keeps its relative alarms.
void rimanda(icalcomponent* todo, const QDateTime& quando, icaltimezone* zona);

} // namespace VociIcal
