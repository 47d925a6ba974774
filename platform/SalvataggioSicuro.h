#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include <sys/types.h>

// Saving files so that a full disk, a failing disk or a crash never costs
// what was there before. The bytes go to a hidden temporary file beside the
// target; it is written whole and synced to disk, and only then put in
// place by one rename (or one link, where the name must be new); the folder
// is synced last, so the rename itself outlasts a power cut. Every step is
// checked: on failure the temporary goes, the target stays as it was, and
// the caller learns why. Blocking file I/O: keep it off the GUI thread.
namespace SalvataggioSicuro {

// Why a save failed: the errno of the step that failed.
struct Errore {
    int codice = 0;
    // A short text for the user, in the interface language.
    QString testo() const;
};

// Replaces `percorso` with `dati`, or creates it. An existing file keeps
// its permissions; a symbolic link keeps pointing at the file it names,
// which is the one replaced.
std::optional<Errore> salva(const QString& percorso, const QByteArray& dati);
// Creates `percorso` with `dati` only when nothing is there yet (EEXIST otherwise).
std::optional<Errore> salvaNuovo(const QString& percorso, const QByteArray& dati, mode_t modo = 0644);
// Syncs a folder's list of names, so that a name just made or renamed in it lasts.
std::optional<Errore> sincronizzaCartella(const QString& cartella);
// Writes all of `dati` to `fd`, going on after short writes and signals.
std::optional<Errore> scriviTutto(int fd, const char* dati, qint64 quanti);

// A temporary that a save cut off (a kill, a crash, a power cut) left in
// a folder. Its name tells the file it was to replace, where that fits.
struct Avanzo {
    QString percorso;     // the temporary
    QString destinazione; // the file it was to replace; empty when unknown
};
// The leftovers in `cartella`; never a temporary a save (of any process)
// is still writing. Blocks.
QList<Avanzo> avanzi(const QString& cartella);
// Puts a leftover in its file's place when that is missing or older, and
// syncs the folder: what the cut-off save was to write, is written. False
// (and nothing done) otherwise.
bool ripristina(const Avanzo& avanzo);
// Removes the leftovers of cut-off saves of `percorso`, for files written
// again whole anyway. Blocks.
void scartaAvanzi(const QString& percorso);

// A hidden temporary file beside where the content will end up, for
// writers that produce it piece by piece. Gone when destroyed, unless it
// was put in place. It is held (locked) while it lives, so a look for
// leftovers never takes it.
class Temporaneo {
public:
    // `nome`: the name of the file it is for, written into its own name so
    // that a leftover can be recovered.
    explicit Temporaneo(const QString& cartella, const QString& nome = {});
    ~Temporaneo();
    Temporaneo(const Temporaneo&) = delete;
    Temporaneo& operator=(const Temporaneo&) = delete;

    // Set when the file could not be made, or once a step has failed.
    const std::optional<Errore>& errore() const { return errore_; }
    const QString& percorso() const { return percorso_; }

    // Writes all of it, going on after short writes and signals.
    bool scrivi(const char* dati, qint64 quanti);
    bool scrivi(const QByteArray& dati) { return scrivi(dati.constData(), dati.size()); }
    bool impostaModo(mode_t modo);
    // Syncs and closes the file, then renames it over `destinazione`.
    bool sostituisci(const QString& destinazione);
    // Syncs and closes the file, then gives it the name `destinazione` only
    // if that is free (EEXIST otherwise, and the temporary stays for
    // another try).
    bool pubblica(const QString& destinazione);

private:
    bool sincronizza();
    bool fallisce(int codice);

    QString cartella_;
    QString percorso_;
    int fd_ = -1;
    bool sincronizzato_ = false;
    bool inPosto_ = false;
    std::optional<Errore> errore_;
};

} // namespace SalvataggioSicuro
