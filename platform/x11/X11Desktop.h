#pragma once

#include "StatoDesktop.h"

#include <QHash>
#include <QString>
#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;

// Watches the EWMH properties of the root window (active window, current
// desktop, stacking, work areas) and of the active window (its state) on a
// connection of its own, so the watch never disturbs the event mask Qt
// keeps on the root window. A full-screen window (_NET_WM_STATE_FULLSCREEN)
// covers its screen when no window of the current desktop lies over it.
class X11Desktop : public StatoDesktop {
    Q_OBJECT
public:
    // Connects to $DISPLAY; without one, every query answers "nothing".
    explicit X11Desktop(QObject* parent = nullptr);
    ~X11Desktop() override;

    bool connesso() const override { return conn_ != nullptr; }
    QList<QRect> schermiInteri() const override;
    // GTK's per-screen work areas of the current desktop, else _NET_WORKAREA.
    QList<QRect> areeDiLavoro() const override;
    uint32_t finestraAttiva() const;        // 0 when none
    int desktopCorrente() const;            // -1 when unknown
    qint64 pid(uint32_t finestra) const;    // 0 when unknown
    // WM_CLASS as (instance, class).
    std::pair<QString, QString> classe(uint32_t finestra) const;
    bool schermoIntero(uint32_t finestra) const;

    static X11Desktop& shared();
    // The work areas on a connection of one's own, for a reading before any
    // event loop runs.
    static QList<QRect> leggiAreeDiLavoro(xcb_connection_t* conn, uint32_t root);

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
    bool atomoAreeGtk(uint32_t atomo);

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint32_t seguita_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    mutable bool letturaInCoda_ = false;
    uint32_t aActive_ = 0, aDesktop_ = 0, aState_ = 0, aFullscreen_ = 0, aPid_ = 0;
    QHash<uint32_t, bool> areeGtk_; // root atoms, and whether they are GTK's work areas
    uint32_t aPila_ = 0, aDesktopFinestra_ = 0, aNascosta_ = 0, aAreaLavoro_ = 0;
};
