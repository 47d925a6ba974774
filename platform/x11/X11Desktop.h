#pragma once

#include "StatoDesktop.h"

#include <QString>
#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;

// Watches the EWMH properties of the root window (active window, current
// desktop) and of the active window (its state) on a connection of its own,
// so the watch never disturbs the event mask Qt keeps on the root window.
// Full screen is the active window's _NET_WM_STATE_FULLSCREEN.
class X11Desktop : public StatoDesktop {
    Q_OBJECT
public:
    // Connects to $DISPLAY; without one, every query answers "nothing".
    explicit X11Desktop(QObject* parent = nullptr);
    ~X11Desktop() override;

    bool connesso() const override { return conn_ != nullptr; }
    bool schermoInteroAttivo() const override { return schermoIntero(finestraAttiva()); }
    uint32_t finestraAttiva() const;        // 0 when none
    int desktopCorrente() const;            // -1 when unknown
    qint64 pid(uint32_t finestra) const;    // 0 when unknown
    // WM_CLASS as (instance, class).
    std::pair<QString, QString> classe(uint32_t finestra) const;
    bool schermoIntero(uint32_t finestra) const;

    static X11Desktop& shared();

signals:
    void finestraAttivaCambiata();
    // _NET_WM_STATE of the active window changed.
    void statoFinestraAttivaCambiato();

private:
    void leggiEventi();
    // Replies may pull events into xcb's queue, where the socket notifier
    // never sees them: read them on the next turn of the event loop.
    void leggiEventiInCoda() const;
    void seguiFinestraAttiva();

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint32_t seguita_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    mutable bool letturaInCoda_ = false;
    uint32_t aActive_ = 0, aDesktop_ = 0, aState_ = 0, aFullscreen_ = 0, aPid_ = 0;
};
