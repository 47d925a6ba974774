#include "ArchivioDesktop.h"
#include "Ical.h"
#include "ImpostazioniCalendari.h"
#include "VociIcal.h"

#include "Colori.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>

namespace {

using Tipo = CalendariEds::Tipo;

// The local zone from libical's table, written by its IANA name as every
// store and server knows it; none when libical does not know it.
icaltimezone* zonaLocale()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    return id.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(id.constData());
}

// A VCALENDAR with the to-do and the zone its new times are written in.
QByteArray calendarioDi(icalcomponent* todo, icaltimezone* zona)
{
    Ical::Componente cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Halvora//Agenda//IT"));
    if (zona)
        if (icalcomponent* vz = icaltimezone_get_component(zona)) {
            icalcomponent* copia = icalcomponent_new_clone(vz);
            // libical's own table names it with a prefix; the to-do names it plainly.
            if (const char* luogo = icaltimezone_get_location(zona); luogo && icaltimezone_get_builtin_timezone(luogo) == zona)
                Ical::sostituisci(copia, icalproperty_new_tzid(luogo));
            icalcomponent_add_component(cal.get(), copia);
        }
    icalcomponent_add_component(cal.get(), icalcomponent_new_clone(todo));
    return Ical::comeTesto(cal.get());
}

bool ripetuto(icalcomponent* c)
{
    return icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)
        || icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY)
        || icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
}

icalcomponent* todoDi(icalcomponent* radice, const QByteArray& uid)
{
    for (icalcomponent* todo : Ical::componenti(radice, ICAL_VTODO_COMPONENT))
        if (uid == icalcomponent_get_uid(todo) && !icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY))
            return todo;
    return nullptr;
}

} // namespace

ArchivioDesktop::ArchivioDesktop(QString elencoNominato) : elencoNominato_(std::move(elencoNominato)) {}

ArchivioDesktop::~ArchivioDesktop() = default;

std::optional<bool> ArchivioDesktop::disponibile() { return eds_.sulBus(); }

bool ArchivioDesktop::connetti(QString* errore)
{
    Ical::aggiornaZonaLocale();
    QString motivo;
    if (eds_.connetti(&motivo)) {
        segnalati_.remove(QString());
        return true;
    }
    segnala(QString(), QString(), motivo);
    if (errore)
        *errore = motivo;
    return false;
}

void ArchivioDesktop::segnala(const QString& uid, const QString& nome, const QString& motivo)
{
    const auto gia = segnalati_.constFind(uid);
    if (gia != segnalati_.constEnd() && *gia == motivo)
        return; // said already; every refresh would say it again
    segnalati_.insert(uid, motivo);
    if (uid.isEmpty())
        qWarning("Calendario del desktop non raggiungibile: %s", qPrintable(motivo));
    else
        qWarning("Calendario \"%s\" non leggibile: %s", qPrintable(nome), qPrintable(motivo));
}

Lettura<Impegno> ArchivioDesktop::impegni(const QDateTime& da, const QDateTime& a)
{
    Lettura<Impegno> l;
    if (!connetti()) {
        l.nonRisponde = eds_.interrotto();
        return l;
    }
    const QList<CalendariEds::Sorgente> calendari = eds_.sorgenti(Tipo::eventi);
    l.accesso = calendari.isEmpty();
    for (const CalendariEds::Sorgente& s : calendari) {
        QString errore;
        const auto istanze = eds_.istanze(s.uid, da, a, &errore);
        if (!istanze) {
            segnala(s.uid, s.nome, errore);
            continue;
        }
        segnalati_.remove(s.uid);
        l.accesso = true; // one calendar read is enough to show what there is
        const QColor colore = s.colore.isValid() ? s.colore : Colori::indaco();
        for (const CalendariEds::Istanza& i : *istanze) {
            Ical::Componente evento(icalcomponent_new_from_string(i.componente.constData()));
            if (!evento)
                continue;
            Ical::Occorrenza o;
            o.evento = evento.get();
            o.interaGiornata = i.interaGiornata;
            o.inizio = i.interaGiornata ? Ical::daLocale(i.giornoInizio, QTime(0, 0)) : i.inizio;
            o.fine = i.interaGiornata ? Ical::daLocale(i.giornoFine, QTime(0, 0)) : i.fine;
            o.ripetuto = ripetuto(evento.get());
            l.elementi.append(VociIcal::impegno(o, colore));
        }
    }
    // A calendar left out for want of an answer would pass for an empty one.
    l.nonRisponde = eds_.interrotto();
    return l;
}

Lettura<Promemoria> ArchivioDesktop::promemoria(const QDateTime& limiteLocale)
{
    Lettura<Promemoria> l;
    if (!connetti()) {
        l.nonRisponde = eds_.interrotto();
        return l;
    }
    const QDateTime limite = limiteLocale.toUTC();
    const QList<CalendariEds::Sorgente> elenchi = eds_.sorgenti(Tipo::promemoria);
    l.accesso = elenchi.isEmpty();
    elencoDi_.clear();
    for (const CalendariEds::Sorgente& s : elenchi) {
        QString errore;
        const auto testo = eds_.promemoriaAperti(s.uid, &errore);
        if (!testo) {
            segnala(s.uid, s.nome, errore);
            continue;
        }
        segnalati_.remove(s.uid);
        l.accesso = true;
        Ical::Componente radice = Ical::leggi(*testo);
        for (icalcomponent* todo : Ical::componenti(radice.get(), ICAL_VTODO_COMPONENT)) {
            // A moved occurrence of a repeating to-do stands with its series.
            if (icalcomponent_get_first_property(todo, ICAL_RECURRENCEID_PROPERTY))
                continue;
            if (auto p = VociIcal::promemoria(todo, limite)) {
                elencoDi_.insert(p->id, s.uid);
                l.elementi.append(std::move(*p));
            }
        }
    }
    l.nonRisponde = eds_.interrotto();
    return l;
}

EsitoCreazione ArchivioDesktop::crea(const NuovoPromemoria& nuovo, const QDateTime& ora)
{
    if (!connetti())
        return eds_.interrotto() ? EsitoCreazione::nonSalvato(CalendariEds::nonRisponde())
                                 : EsitoCreazione{EsitoCreazione::Tipo::accessoNegato};
    const auto elenco = eds_.elencoPredefinito(elencoNominato_);
    if (!elenco)
        return eds_.interrotto() ? EsitoCreazione::nonSalvato(CalendariEds::nonRisponde())
                                 : EsitoCreazione{EsitoCreazione::Tipo::nessunElenco};
    icaltimezone* zona = zonaLocale();
    Ical::Componente todo = VociIcal::nuovo(nuovo, ora, zona);
    QString errore;
    if (!eds_.crea(*elenco, Tipo::promemoria, calendarioDi(todo.get(), zona), &errore))
        return EsitoCreazione::nonSalvato(errore);
    return {EsitoCreazione::Tipo::creato};
}

EsitoScrittura ArchivioDesktop::modifica(const QString& id, const std::function<void(icalcomponent*)>& cambia)
{
    QString motivo;
    if (!connetti(&motivo))
        return {EsitoScrittura::Tipo::nonSalvato, motivo};
    // The list it was read from first, then the others: it may have moved.
    QStringList elenchi;
    if (const QString noto = elencoDi_.value(id); !noto.isEmpty())
        elenchi.append(noto);
    for (const CalendariEds::Sorgente& s : eds_.sorgenti(Tipo::promemoria))
        if (!elenchi.contains(s.uid))
            elenchi.append(s.uid);
    const QByteArray uid = id.toUtf8();
    for (const QString& elenco : elenchi) {
        QByteArray testo;
        QString errore;
        switch (eds_.oggetto(elenco, Tipo::promemoria, id, &testo, &errore)) {
        case CalendariEds::Esito::nonTrovato: continue;
        case CalendariEds::Esito::errore: return {EsitoScrittura::Tipo::nonSalvato, errore};
        case CalendariEds::Esito::fatto: break;
        }
        Ical::Componente radice = Ical::leggi(testo);
        icalcomponent* todo = radice ? todoDi(radice.get(), uid) : nullptr;
        if (!todo)
            continue;
        cambia(todo);
        if (!eds_.modifica(elenco, Tipo::promemoria, calendarioDi(todo, zonaLocale()), &errore))
            return {EsitoScrittura::Tipo::nonSalvato, errore};
        return {EsitoScrittura::Tipo::fatto};
    }
    return {EsitoScrittura::Tipo::nonTrovato};
}

EsitoScrittura ArchivioDesktop::completa(const QString& id, const QDateTime& ora)
{
    return modifica(id, [&](icalcomponent* todo) { VociIcal::completa(todo, ora); });
}

EsitoScrittura ArchivioDesktop::rimanda(const QString& id, const QDateTime& quando)
{
    return modifica(id, [&](icalcomponent* todo) { VociIcal::rimanda(todo, quando, zonaLocale()); });
}

void ArchivioDesktop::osservaCambi(std::function<void()> cambiato) { eds_.alCambio(std::move(cambiato)); }

void ArchivioDesktop::chiudi() { eds_.chiudi(); }

bool ArchivioDesktop::apriImpostazioni() const
{
    const auto comando = ImpostazioniCalendari::comando(ImpostazioniCalendari::diQuestoComputer());
    return comando && QProcess::startDetached(comando->first(), comando->mid(1));
}
