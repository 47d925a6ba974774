#pragma once

#include <QObject>

class StatoDesktop;

// Whether a full-screen window is in front on the primary screen, as the
// desktop tells it (EWMH under X11, the compositor's own channel in a
// Wayland session), re-read whenever it or the screens may have changed.
// Published only on change; false where the desktop says nothing.
class MonitorSchermoIntero : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool attivo READ attivo NOTIFY attivoChanged)
public:
    explicit MonitorSchermoIntero(StatoDesktop& desktop, QObject* parent = nullptr);

    bool attivo() const { return attivo_; }
    void aggiorna();
    bool rilevaSchermoIntero() const;

signals:
    void attivoChanged();

private:
    StatoDesktop& desktop_;
    bool attivo_ = false;
};
