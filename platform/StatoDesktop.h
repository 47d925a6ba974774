#pragma once

#include <QObject>

// What the desktop tells of its windows and workspaces: whether the window
// in front is full screen, and when the workspace in front changes.
class StatoDesktop : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The desktop answers at all; "nothing" everywhere when it does not.
    virtual bool connesso() const = 0;
    // The focused window covers its screen as full screen.
    virtual bool schermoInteroAttivo() const = 0;

signals:
    // The answer of `schermoInteroAttivo` may have changed.
    void schermoInteroCambiato();
    // Another workspace came to the front.
    void desktopCambiato();
};
