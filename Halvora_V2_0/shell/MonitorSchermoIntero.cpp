#include "MonitorSchermoIntero.h"

#include "StatoDesktop.h"

MonitorSchermoIntero::MonitorSchermoIntero(StatoDesktop& desktop, QObject* parent) : QObject(parent), desktop_(desktop)
{
    // The desktops tell of their changes on the GUI thread, so updates land there.
    connect(&desktop_, &StatoDesktop::schermoInteroCambiato, this, &MonitorSchermoIntero::aggiorna);
    aggiorna();
}

bool MonitorSchermoIntero::rilevaSchermoIntero() const
{
    return desktop_.connesso() && desktop_.schermoInteroAttivo();
}

void MonitorSchermoIntero::aggiorna()
{
    const bool nuovo = rilevaSchermoIntero();
    if (nuovo == attivo_)
        return;
    attivo_ = nuovo;
    emit attivoChanged();
}
