#pragma once

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class QLocale;

// One of today's calendar events.
struct Impegno {
    QString id; // a fresh random id when the store gives none
    QString titolo;
    QDateTime inizio;
    QDateTime fine;
    std::optional<QString> luogo; // absent when missing or empty
    bool interaGiornata = false;
    QColor colore;
    // Called off by its organiser (STATUS:CANCELLED): still listed, never announced.
    bool annullato = false;

    // The time text of the event row: "tutto il giorno", or 09:00–10:30.
    QString orario() const;

    bool operator==(const Impegno&) const = default;
};

// One open reminder.
struct Promemoria {
    QString id;
    QString titolo;
    std::optional<QDateTime> scadenza;
    bool siRipete = false;

    // The due text of the reminder row, or nothing without a due date: the
    // time alone when due on the day of `ora`, else day, short month and time.
    std::optional<QString> scadenzaTesto(const QDateTime& ora) const;

    bool operator==(const Promemoria&) const = default;
};

// The rules of the agenda, as functions of their inputs.
namespace Agenda {

// All-day events first, then by start; equal events keep the store's order.
void ordinaImpegni(QList<Impegno>& impegni);
// Dated reminders by due date, then the undated ones in the store's order.
void ordinaPromemoria(QList<Promemoria>& promemoria);

// The next timed event: the first of a sorted list that starts after `ora`
// and at most 900 s ahead, and is not called off.
std::optional<Impegno> prossimo(const QList<Impegno>& ordinati, const QDateTime& ora);

// The first reminder of a sorted list that fell due within the last half
// hour, up to `ora` included, and was not announced yet.
std::optional<Promemoria> daAnnunciare(const QList<Promemoria>& ordinati, const QDateTime& ora,
                                       const QSet<QString>& giaAvvisati);

// A day as its number and short month in the locale's order ("5 mar",
// "Mar 5"), for times of another day than today.
QString giornoBreve(const QDate& giorno, const QLocale& locale);

// Today's window in local time: [start of the day of `ora`, start of the next day).
QDateTime inizioGiorno(const QDateTime& ora);
QDateTime fineGiorno(const QDateTime& ora);

constexpr double kAnticipoProssimo = 900.0;   // seconds before its start an event is announced
constexpr double kFinestraScadenza = 1800.0;  // seconds after its due time a reminder is announced

} // namespace Agenda
