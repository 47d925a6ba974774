#pragma once

#include <QString>
#include <functional>

class NotchStateManager;
class RootNotchView;

// Diagnostic lines about the data the panel shows, for scripted checks of a
// running copy: each change of the clipboard history, where the tab buttons
// are on screen once the notch opens, the first frame of each tab's module
// after a change of tab, where the buttons of the card under the closed
// notch are each time it shows, and where each frame of the notch in motion puts
// the shape, the modules of a tab change and the cards coming and going.
void attivaDiagnosticaDati(RootNotchView& root, NotchStateManager& stato, std::function<void(const QString&)> scrivi);
