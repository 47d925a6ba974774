#include "AttivitaManager.h"

#include <cmath>

AttivitaManager::AttivitaManager(Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {}

double AttivitaManager::durataSicura(double durata)
{
    if (!std::isfinite(durata))
        return kDurataNonValida;
    return std::clamp(durata, 0.0, kDurataMassima);
}

void AttivitaManager::mostra(const AttivitaNotch& attivita, double durata)
{
    if (!corrente_) {
        programmaScadenza(attivita, durata);
        return;
    }
    if (coda_.size() < kMassimoInCoda)
        coda_.append({attivita, durata});
}

void AttivitaManager::programmaScadenza(const AttivitaNotch& attivita, double durata)
{
    scadenza_.cancel();
    corrente_ = attivita;
    emit correnteChanged();
    scadenza_ = clock_.singleShot(durataSicura(durata), [this] { avanzaCoda(); });
}

void AttivitaManager::avanzaCoda()
{
    scadenza_ = {};
    if (coda_.isEmpty()) {
        corrente_.reset();
        emit correnteChanged();
        return;
    }
    const InAttesa prossima = coda_.takeFirst();
    programmaScadenza(prossima.attivita, prossima.durata);
}
