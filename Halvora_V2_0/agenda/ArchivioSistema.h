#pragma once

#include "ArchivioAgenda.h"

#include <QSet>
#include <atomic>
#include <memory>
#include <optional>

class ArchivioCalendario;
class ArchivioDesktop;

// The store the application uses: the desktop's calendar store when it
// answers on the session bus, decided once at the first read; else the
// folder, as on a desktop without one. With the desktop's store the folder
// is still read while it exists, so reminders and events kept there before
// stay in view and can be completed and snoozed there; new reminders go to
// the desktop's store, and the folder is never created. Once the desktop's
// store is chosen its failures are failures: the folder does not stand in.
class ArchivioSistema final : public ArchivioAgenda {
public:
    ArchivioSistema(std::unique_ptr<ArchivioDesktop> desktop, std::unique_ptr<ArchivioCalendario> cartella);
    ~ArchivioSistema() override;

    Lettura<Impegno> impegni(const QDateTime& da, const QDateTime& a) override;
    Lettura<Promemoria> promemoria(const QDateTime& limite) override;
    EsitoCreazione crea(const NuovoPromemoria& nuovo, const QDateTime& ora) override;
    EsitoScrittura completa(const QString& id, const QDateTime& ora) override;
    EsitoScrittura rimanda(const QString& id, const QDateTime& quando) override;
    void osservaCambi(std::function<void()> cambiato) override;
    void chiudi() override;
    void inizioLavoro(quint64 n) override;
    void interrompi(quint64 n) override;
    QString cartella() const override;
    bool apriImpostazioni() const override;

    // Known after the first read: whether the desktop's store is in use. Any thread.
    std::optional<bool> usaDesktop() const;

private:
    // Nothing when the bus did not answer in time: decided at a later job.
    std::optional<bool> desktop();
    bool cartellaPresente() const;
    template<class T>
    Lettura<T> unisci(Lettura<T> delDesktop, const std::function<Lettura<T>()>& dallaCartella);

    std::unique_ptr<ArchivioDesktop> desktop_;
    std::unique_ptr<ArchivioCalendario> cartella_;
    enum Scelta : int { daDecidere, scrivania, soloCartella };
    std::atomic<int> scelta_{daDecidere};
    QSet<QString> nellaCartella_; // reminders of the last read that live in the folder
};
