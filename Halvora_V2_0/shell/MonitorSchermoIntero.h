#pragma once

#include <QObject>

class X11Desktop;

// Whether the active window is full screen (EWMH _NET_WM_STATE_FULLSCREEN),
// re-read when the active window, its state or the desktop changes.
// Published only on change; false where no window manager says anything.
class MonitorSchermoIntero : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool attivo READ attivo NOTIFY attivoChanged)
public:
    explicit MonitorSchermoIntero(X11Desktop& desktop, QObject* parent = nullptr);

    bool attivo() const { return attivo_; }
    void aggiorna();
    bool rilevaSchermoIntero() const;

signals:
    void attivoChanged();

private:
    X11Desktop& desktop_;
    bool attivo_ = false;
};
