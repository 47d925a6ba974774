#pragma once

#include "ArchivioAgenda.h"

#include <map>
#include <memory>

// The calendar store: a folder of iCalendar files, one per calendar, with
// events as VEVENT and reminders as VTODO. It does blocking file I/O, so it
// is used from one worker thread only (see CodaArchivio). Parsed files are
// kept until they change on disk; every write re-reads its file first and
// replaces it through the safe save, so an edit made meanwhile by another
// program is kept, and neither a crash nor a full disk leaves half a calendar.
class ArchivioCalendario : public ArchivioAgenda {
public:
    explicit ArchivioCalendario(QString cartella);
    ~ArchivioCalendario() override;
    ArchivioCalendario(const ArchivioCalendario&) = delete;
    ArchivioCalendario& operator=(const ArchivioCalendario&) = delete;

    // The folder under the user's data directory.
    static QString cartellaPredefinita();
    QString cartella() const override { return cartella_; }

    // Access means a folder that can be read. A missing folder is created,
    // with an empty reminder list marked as the default one.
    bool accesso();
    // Whether new files can be made in the folder; a folder that can only be
    // read is shown but refuses every write.
    bool scrivibile() const;
    // The calendar files, by name.
    QStringList fileCalendari() const;

    // Events overlapping [da, a), recurring ones expanded.
    Lettura<Impegno> impegni(const QDateTime& da, const QDateTime& a) override;
    // Open reminders due before `limite`, and those without a due date.
    Lettura<Promemoria> promemoria(const QDateTime& limite) override;

    // The file of the default reminder list, when one is set and exists.
    std::optional<QString> elencoPredefinito() const;
    bool impostaElencoPredefinito(const QString& nomeFile);

    EsitoCreazione crea(const NuovoPromemoria& nuovo, const QDateTime& ora) override;
    // Marks a reminder done; a repeating one moves to its next occurrence
    // instead, and is closed only when its rule has none left.
    EsitoScrittura completa(const QString& id, const QDateTime& ora) override;
    // Moves a reminder's due time and alarm to `quando`. A repeating one
    // keeps its relative alarms for the later occurrences.
    EsitoScrittura rimanda(const QString& id, const QDateTime& quando) override;

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
    // Once, before the folder is first used: the leftovers of saves cut off.
    void recuperaAvanzi();

    QString cartella_;
    std::map<QString, std::unique_ptr<File>> file_;
    bool avanziVisti_ = false;
    QStringList messiDaParte_; // not told yet
};
