#pragma once

#include "Impegno.h"
#include "SceltePromemoria.h"

#include <QStringList>
#include <functional>
#include <map>
#include <memory>

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
    QList<T> elementi; // in the store's order: files by name, items in file order
    QStringList file;
};

// The calendar store: a folder of iCalendar files, one per calendar, with
// events as VEVENT and reminders as VTODO. It does blocking file I/O, so it
// is used from one worker thread only (see CodaArchivio). Parsed files are
// kept until they change on disk; every write re-reads its file first and
// replaces it atomically, so an edit made meanwhile by another program is
// kept and a crash never leaves half a calendar.
class ArchivioCalendario {
public:
    explicit ArchivioCalendario(QString cartella);
    virtual ~ArchivioCalendario();
    ArchivioCalendario(const ArchivioCalendario&) = delete;
    ArchivioCalendario& operator=(const ArchivioCalendario&) = delete;

    // The folder under the user's data directory.
    static QString cartellaPredefinita();
    const QString& cartella() const { return cartella_; }

    // Access means a folder that can be read. A missing folder is created,
    // with an empty reminder list marked as the default one.
    bool accesso();
    // Whether new files can be made in the folder; a folder that can only be
    // read is shown but refuses every write.
    bool scrivibile() const;
    // The calendar files, by name.
    QStringList fileCalendari() const;

    // Events overlapping [da, a), recurring ones expanded.
    Lettura<Impegno> impegni(const QDateTime& da, const QDateTime& a);
    // Open reminders due before `limite`, and those without a due date.
    Lettura<Promemoria> promemoria(const QDateTime& limite);

    // The file of the default reminder list, when one is set and exists.
    std::optional<QString> elencoPredefinito() const;
    bool impostaElencoPredefinito(const QString& nomeFile);

    EsitoCreazione crea(const NuovoPromemoria& nuovo, const QDateTime& ora);
    // Marks a reminder done; a repeating one moves to its next occurrence
    // instead, and is closed only when its rule has none left.
    EsitoScrittura completa(const QString& id, const QDateTime& ora);
    // Moves a reminder's due time and alarm to `quando`. A repeating one
    // keeps its relative alarms for the later occurrences.
    EsitoScrittura rimanda(const QString& id, const QDateTime& quando);

protected:
    // Replaces a file's content through a safe save; false with the reason
    // on failure, the file then left as it was.
    virtual bool scrivi(const QString& percorso, const QByteArray& contenuto, QString* errore);

private:
    struct File;
    struct Modifica;
    const File* carica(const QString& percorso);
    // Access, the file list, and `leggi` called on every calendar that parses.
    template<class T>
    Lettura<T> leggiCalendari(const std::function<void(const File&, QList<T>&)>& leggi);
    std::optional<QString> fileDelPromemoria(const QString& id);
    EsitoScrittura modifica(const QString& id, const std::function<void(Modifica&)>& cambia);
    void creaElencoIniziale();

    QString cartella_;
    std::map<QString, std::unique_ptr<File>> file_;
};
