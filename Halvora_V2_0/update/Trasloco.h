#pragma once

#include <QString>

// The download mark of a copy of the application, as the moves between
// copies see it. Both work on the entries themselves, never on a link's target.
namespace Trasloco {

// True when the bundle folder, its Info.json, its signature folder or the
// executable Info.json names carries the mark.
bool isQuarantinedAppBundle(const QString& bundle);
// Removes the mark from the bundle folder and everything inside it;
// failures are ignored. Any thread.
void stripQuarantineLocally(const QString& bundle);

} // namespace Trasloco
