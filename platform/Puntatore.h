#pragma once

#include <QObject>
#include <QPointF>

// Where the pointer is and whether a button is held, seen from outside any
// window, so the panel can react to the pointer while other applications
// receive its events.
struct StatoPuntatore {
    QPointF posizione; // global, in device-independent pixels
    bool pulsantePremuto = false;
    // The pointer left our window for one the display server cannot see (a
    // native window under XWayland): `posizione` is the last place it knew,
    // and the pointer is elsewhere.
    bool fuoriVista = false;
};

class Puntatore : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Asks the display server now; those told of a move may get the
    // position the backend read for it.
    virtual StatoPuntatore stato() const = 0;
    // Whether the pointer is where a move matters (near the notch, during a
    // drag). A backend blind to some moves may watch more closely meanwhile,
    // and costs nothing the rest of the time.
    virtual void sorvegliaDaVicino(bool vicino) { (void)vicino; }
    // Moves into, over and out of this window of ours (its native id) count
    // however they were made: a warp reaches no device, yet the window
    // under the pointer hears of it.
    virtual void seguiFinestra(quintptr finestra) { (void)finestra; }

signals:
    // The pointer moved anywhere on the desktop (also while dragging).
    void spostato();
    // The left or right button went down anywhere on the desktop.
    void clic();
};
