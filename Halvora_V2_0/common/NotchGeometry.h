#pragma once

#include "Screens.h"

#include <QSizeF>
#include <QString>

// Measures of the camera notch and tests of where the running copy lies.
// Free functions without state; the location tests take the paths they
// look at so they read the same on any machine.
namespace NotchGeometry {

// Size of the closed notch on a screen.
QSizeF notchRect(const ScreenInfo& schermo);
// Horizontal centre of the notch in global coordinates.
double centroTacca(const ScreenInfo& schermo);

// Where the running copy lies: its bundle (installation folder), its
// executable and the home folder as the process sees it.
struct Posizione {
    QString bundle;
    QString eseguibile;
    QString home;
    // Where installed copies live: ~/Applications of the real home folder
    // for the running process.
    QString applicazioni = QStringLiteral("/Applications");
    // The running process.
    static Posizione corrente();
};

bool isTranslocatedFromApplications(const Posizione& p);
bool isRunningFromBadLocation(const Posizione& p);
bool isRunningFromTemporaryLocation(const Posizione& p);
bool isInApplications(const Posizione& p);

} // namespace NotchGeometry
