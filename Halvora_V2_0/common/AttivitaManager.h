#pragma once

#include "AttivitaNotch.h"
#include "Clock.h"

#include <QList>
#include <QObject>

// The single notice queue: one notice visible, at most four waiting, each
// shown for its own duration from the moment it becomes visible.
class AttivitaManager : public QObject {
    Q_OBJECT
public:
    static constexpr int kMassimoInCoda = 4;
    // A duration that is not a finite number, or absurdly long, still ends.
    static constexpr double kDurataNonValida = 4.0;
    static constexpr double kDurataMassima = 60.0;

    struct InAttesa {
        AttivitaNotch attivita;
        double durata;
    };

    explicit AttivitaManager(Clock& clock, QObject* parent = nullptr);

    // Shows a notice now, or queues it; a notice that finds four waiting is dropped.
    void mostra(const AttivitaNotch& attivita, double durata);

    const std::optional<AttivitaNotch>& corrente() const { return corrente_; }
    const QList<InAttesa>& coda() const { return coda_; }
    bool scadenzaInAttesa() const { return scadenza_.isActive(); }

    static double durataSicura(double durata);

signals:
    // The visible notice changed (appeared, was replaced or went away).
    void correnteChanged();

private:
    void programmaScadenza(const AttivitaNotch& attivita, double durata);
    void avanzaCoda();

    Clock& clock_;
    std::optional<AttivitaNotch> corrente_;
    QList<InAttesa> coda_;
    TimerHandle scadenza_;
};
