#pragma once

#include "ArchivioAgenda.h"
#include "CalendariEds.h"

#include <QHash>

typedef struct icalcomponent_impl icalcomponent;

// The desktop's calendar store (Evolution Data Server): the events of every
// enabled calendar, expanded by the store, in their calendar's colour; the
// open to-dos of every enabled task list; new reminders in the default task
// list. Other programs' changes come through the store's live views. When
// the store cannot be reached there is no access; a calendar or list that
// fails is left out and the others are shown.
class ArchivioDesktop final : public ArchivioAgenda {
public:
    // `elencoNominato`: the task list for new reminders, by uid or name, as
    // the settings give it; empty or not found: the store's default one.
    explicit ArchivioDesktop(QString elencoNominato = {});
    ~ArchivioDesktop() override;

    // Whether the store answers on the session bus; nothing when it was cut short. Blocks.
    std::optional<bool> disponibile();

    Lettura<Impegno> impegni(const QDateTime& da, const QDateTime& a) override;
    Lettura<Promemoria> promemoria(const QDateTime& limite) override;
    EsitoCreazione crea(const NuovoPromemoria& nuovo, const QDateTime& ora) override;
    EsitoScrittura completa(const QString& id, const QDateTime& ora) override;
    EsitoScrittura rimanda(const QString& id, const QDateTime& quando) override;
    void osservaCambi(std::function<void()> cambiato) override;
    void chiudi() override;
    void inizioLavoro(quint64 n) override { eds_.inizioLavoro(n); }
    void interrompi(quint64 n) override { eds_.interrompi(n); }
    QString cartella() const override { return {}; }
    // The desktop's online accounts, where its calendars are set up, else
    // a calendar program.
    bool apriImpostazioni() const override;

private:
    bool connetti(QString* errore = nullptr);
    // Says once why the store (empty uid) or a source cannot be read, until it can again.
    void segnala(const QString& uid, const QString& nome, const QString& motivo);
    EsitoScrittura modifica(const QString& id, const std::function<void(icalcomponent*)>& cambia);

    CalendariEds eds_;
    QString elencoNominato_;
    QHash<QString, QString> elencoDi_; // reminder id → its task list, from the last read
    QHash<QString, QString> segnalati_; // source uid → what was said
};
