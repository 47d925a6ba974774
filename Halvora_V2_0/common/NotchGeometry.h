#pragma once

#include "Screens.h"

#include <QSizeF>
#include <QString>

// Measures of the camera notch and tests of where the running copy lies.
// Free functions without state; the location tests take the paths they
// look at so they read the same on any machine.
namespace NotchGeometry {

// The screen as the notch hangs from it: below the desktop's own panel
// where one occupies the top edge (the work area starts lower), so the
// panel's controls stay reachable; from the very top over a camera notch.
ScreenInfo sottoPannelloSuperiore(const ScreenInfo& schermo);
// Size of the closed notch on a screen.
QSizeF notchRect(const ScreenInfo& schermo);
// Horizontal centre of the notch in global coordinates.
double centroTacca(const ScreenInfo& schermo);

// Where the running copy lies: its bundle (installation folder), its
// executable and the home folder as the process sees it. The tests below
// compare these paths as text, so they hold for links only in the form
// risolta() gives.
struct Posizione {
    QString bundle;
    QString eseguibile;
    QString home;
    // Where installed copies live: ~/Applications of the real home folder
    // for the running process.
    QString applicazioni = QStringLiteral("/Applications");

    // The same places with their symbolic links resolved.
    Posizione risolta() const;
    // The installed copy of this bundle: the Applications folder and the
    // bundle's folder name.
    QString destinazione() const;
    // The running process, resolved; installed copies in `applicazioni`
    // when given, else in ~/Applications.
    static Posizione corrente(const QString& applicazioni = {});
};

bool isTranslocatedFromApplications(const Posizione& p);
bool isRunningFromBadLocation(const Posizione& p);
bool isRunningFromTemporaryLocation(const Posizione& p);
bool isInApplications(const Posizione& p);

} // namespace NotchGeometry
