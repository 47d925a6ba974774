#pragma once

#include "Impegno.h"
#include "SceltePromemoria.h"

#include <QStringList>
#include <functional>

// A new reminder as the composer asks for it.
struct NuovoPromemoria {
    QString titolo;     // already trimmed, not empty
    QDateTime scadenza; // kept to the minute as the due time; the alarm keeps the seconds
    RipetizionePromemoria ripetizione = RipetizionePromemoria::mai;
    int anticipo = 0; // alarm offset from the due time, in seconds
};

// What became of a write to an existing reminder.
struct EsitoScrittura {
    enum class Tipo { fatto, nonTrovato, nonSalvato };
    EsitoScrittura(Tipo t = Tipo::fatto, QString motivo = {}) : tipo(t), errore(std::move(motivo)) {}
    Tipo tipo;
    QString errore; // the reason, for nonSalvato
};

// What a read found, and which files it read.
template<class T>
struct Lettura {
    bool accesso = false;
    QList<T> elementi; // in the store's order
    QStringList file;  // files to watch for changes made by other programs
    bool nonRisponde = false; // the store did not answer in time: nothing is known
    // Whole calendars left by saves cut off earlier, which could not take
    // their file's place and were kept aside under these paths: the user is told.
    QStringList messiDaParte;
};

// Where the agenda's events and reminders are kept: the desktop's calendar
// store or a folder of iCalendar files. Reads and writes block, so a store
// is used from the manager's worker thread only (see CodaArchivio), except
// where a method says otherwise.
class ArchivioAgenda {
public:
    virtual ~ArchivioAgenda() = default;

    // Events overlapping [da, a), recurring ones expanded.
    virtual Lettura<Impegno> impegni(const QDateTime& da, const QDateTime& a) = 0;
    // Open reminders due before `limite`, and those without a due date.
    virtual Lettura<Promemoria> promemoria(const QDateTime& limite) = 0;

    virtual EsitoCreazione crea(const NuovoPromemoria& nuovo, const QDateTime& ora) = 0;
    // Marks a reminder done; a repeating one moves to its next occurrence
    // instead, and is closed only when its rule has none left.
    virtual EsitoScrittura completa(const QString& id, const QDateTime& ora) = 0;
    // Moves a reminder's due time and alarm to `quando`. A repeating one
    // keeps its relative alarms for the later occurrences.
    virtual EsitoScrittura rimanda(const QString& id, const QDateTime& quando) = 0;

    // For a store that learns of other programs' changes itself: `cambiato`
    // then runs on the worker thread at each one. Set before the store's
    // first use, on the thread that made it. A folder is watched by the
    // manager instead, through the files its reads list.
    virtual void osservaCambi(std::function<void()> cambiato) {}
    // Lets go of what the store holds open; the last job on the worker thread.
    virtual void chiudi() {}
    // For a store that waits on another program: the manager numbers its
    // jobs in the order asked; `inizioLavoro` runs on the worker before
    // each, and `interrompi` (any thread) cuts short job `n` and those
    // before it, which then fail at once, as "not answering".
    virtual void inizioLavoro(quint64 n) {}
    virtual void interrompi(quint64 n) {}

    // The folder whose files the reads list, watched for new files; empty
    // when there is none. Any thread.
    virtual QString cartella() const = 0;
    // What the access panel's button opens, on the GUI thread; false when
    // there is nothing to open.
    virtual bool apriImpostazioni() const;
};
