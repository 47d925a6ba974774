#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// The desktop's calendar store, Evolution Data Server, through libecal: its
// enabled calendars and task lists, their items as iCalendar text, writes,
// and live views that report what other programs change. Every call may
// block on D-Bus, so an instance is used from one worker thread only, whose
// own GMainContext is the thread default: the views deliver there. The
// calls of a job can be cut short from any thread (a store that stopped
// answering); they then fail with `kNonRisponde`.
class CalendariEds {
public:
    enum class Tipo { eventi, promemoria };

    struct Sorgente {
        QString uid;
        QString nome;
        QColor colore; // invalid when the source has none
    };

    // One event, or one occurrence of a repeating one, as the store expanded it.
    struct Istanza {
        QByteArray componente; // the VEVENT (the master for a repeating event)
        bool interaGiornata = false;
        QDateTime inizio, fine; // UTC moments; for an all-day event
        QDate giornoInizio, giornoFine; // the dates instead (end excluded)
    };

    enum class Esito { fatto, nonTrovato, errore };

    CalendariEds();
    ~CalendariEds();
    CalendariEds(const CalendariEds&) = delete;
    CalendariEds& operator=(const CalendariEds&) = delete;

    // Whether the store answers on the session bus: running, or startable on
    // demand. Blocks while the bus starts it; nothing when cut short.
    std::optional<bool> sulBus();

    // The jobs of the worker thread, numbered in the order they were asked
    // for: `inizioLavoro` on the worker before each; `interrompi`, from any
    // thread, cuts short the call job `n` is blocked in and fails its later
    // calls at once, and fails from their start the jobs up to `n` that
    // have not begun.
    void inizioLavoro(quint64 n);
    void interrompi(quint64 n);
    // Whether the job running now was cut short.
    bool interrotto() const;
    // The reason a call that was cut short gives, in the interface language.
    static QString nonRisponde();

    // Connects to the store's source registry; after the store restarted,
    // connects afresh. False (with the reason) when the store is not on the bus.
    bool connetti(QString* errore);
    // The enabled calendars or task lists, by name; not the calendar of the
    // contacts' birthdays, which would start the address-book service.
    QList<Sorgente> sorgenti(Tipo tipo);
    // The occurrences in [da, a) of a calendar's events; nothing when the
    // calendar cannot be read now.
    std::optional<QList<Istanza>> istanze(const QString& sorgente, const QDateTime& da, const QDateTime& a,
                                          QString* errore);
    // A task list's open to-dos as one VCALENDAR, with the zones they name.
    std::optional<QByteArray> promemoriaAperti(const QString& sorgente, QString* errore);
    // One item as a VCALENDAR with the zones it names.
    Esito oggetto(const QString& sorgente, Tipo tipo, const QString& uid, QByteArray* calendario, QString* errore);
    // The task list for new reminders: the one named (by uid or name) when it
    // is enabled, else the store's default.
    std::optional<QString> elencoPredefinito(const QString& nominato);
    // Writes the items of a VCALENDAR, adding the zones it holds first.
    bool crea(const QString& sorgente, Tipo tipo, const QByteArray& calendario, QString* errore);
    bool modifica(const QString& sorgente, Tipo tipo, const QByteArray& calendario, QString* errore);

    // Runs on the worker thread when the store or a source changed.
    void alCambio(std::function<void()> cambiato);
    // Drops the connections and views; connetti starts again.
    void chiudi();

private:
    struct Stato;
    std::unique_ptr<Stato> s_;
};
