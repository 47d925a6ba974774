#include "MonitorSchermoIntero.h"

#include "X11Desktop.h"

MonitorSchermoIntero::MonitorSchermoIntero(X11Desktop& desktop, QObject* parent) : QObject(parent), desktop_(desktop)
{
    // X11Desktop reads its connection on the GUI thread, so updates land there.
    connect(&desktop_, &X11Desktop::finestraAttivaCambiata, this, &MonitorSchermoIntero::aggiorna);
    connect(&desktop_, &X11Desktop::statoFinestraAttivaCambiato, this, &MonitorSchermoIntero::aggiorna);
    connect(&desktop_, &X11Desktop::desktopCambiato, this, &MonitorSchermoIntero::aggiorna);
    aggiorna();
}

bool MonitorSchermoIntero::rilevaSchermoIntero() const
{
    return desktop_.connesso() && desktop_.schermoIntero(desktop_.finestraAttiva());
}

void MonitorSchermoIntero::aggiorna()
{
    const bool nuovo = rilevaSchermoIntero();
    if (nuovo == attivo_)
        return;
    attivo_ = nuovo;
    emit attivoChanged();
}
