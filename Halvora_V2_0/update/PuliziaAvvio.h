#pragma once

#include "Clock.h"
#include "NotchGeometry.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AttivitaManager;
class UserDefaults;

// The housekeeping of every launch: the one-time notice of the new name for
// someone who ran the application before, and an older copy of it in
// ~/Applications moved to the trash. Decided at the call, shown 2.5 s later
// through the notice queue. GUI thread.
class PuliziaAvvio : public QObject {
    Q_OBJECT
public:
    static constexpr double kRitardo = 2.5;
    static constexpr double kDurataRinomina = 10.0;
    static constexpr double kDurataCestinata = 8.0;
    static constexpr double kDurataDueCopie = 10.0;
    static inline const QString kBenvenutoMostrato = QStringLiteral("benvenutoOrbelleMostrato");

    struct Dipendenze {
        Clock& clock;
        UserDefaults& impostazioni;
        NotchGeometry::Posizione posizione;
        // Moves an entry to the trash; the freedesktop trash when empty.
        std::function<bool(const QString&)> cestina = {};
    };

    // Notes, before this launch writes any of them, which of the keys that
    // earlier runs leave behind are there.
    explicit PuliziaAvvio(Dipendenze d, QObject* parent = nullptr);

    // Once per launch, with the application's notice queue.
    void controllaRinominaECopie(AttivitaManager& attivita);

    // Whether the notice of the new name is due; decides it once and for all.
    bool avvisoRinominaDovuto();
    // The older copy to trash, at most one.
    std::optional<QString> cercaCopiaPiuVecchia() const;
    // Whether `candidata` is another copy of this application, strictly
    // older and not running.
    static bool copiaDaCestinare(const QString& candidata, const QString& bundleInUso, const QString& identificatore,
                                 const QString& versione);
    // Trashes the copy on a worker and announces how it went.
    void cestinaCopia(const QString& copia, AttivitaManager& attivita);

    // Whether a process of this user runs an executable inside `bundle`.
    static bool inEsecuzioneDa(const QString& bundle);

private:
    Dipendenze d_;
    bool usatoPrima_;
    TimerHandle ritardo_;
};
