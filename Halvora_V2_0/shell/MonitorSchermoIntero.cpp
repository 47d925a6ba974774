#include "MonitorSchermoIntero.h"

#include "QtScreens.h"
#include "StatoDesktop.h"

#include <QGuiApplication>
#include <QScreen>

MonitorSchermoIntero::MonitorSchermoIntero(StatoDesktop& desktop, QObject* parent) : QObject(parent), desktop_(desktop)
{
    // The desktops tell of their changes on the GUI thread, so updates land there.
    connect(&desktop_, &StatoDesktop::schermoInteroCambiato, this, &MonitorSchermoIntero::aggiorna);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &MonitorSchermoIntero::aggiorna);
    aggiorna();
}

bool MonitorSchermoIntero::rilevaSchermoIntero() const
{
    const QScreen* primario = QGuiApplication::primaryScreen();
    return primario && desktop_.connesso()
           && desktop_.schermoInteroSu(QtScreens::inPixel(*primario, primario->geometry()).center());
}

void MonitorSchermoIntero::aggiorna()
{
    const bool nuovo = rilevaSchermoIntero();
    if (nuovo == attivo_)
        return;
    attivo_ = nuovo;
    emit attivoChanged();
}
