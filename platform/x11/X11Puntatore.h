#pragma once

#include "Puntatore.h"

#include <QElapsedTimer>
#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;
class QTimer;

// The pointer through XInput2 raw events on the root window (they reach us
// whatever window has the pointer or a grab), read with one query per batch
// of events. Warps (XWarpPointer) make no raw events: the crossings and
// motions of the windows we follow see a warp onto them, and a 60 Hz poll
// catches the rest while the pointer is watched from close by and has moved
// within the last second, so a pointer at rest wakes nothing. Without
// XInput2 the poll runs all the time and also reports the clicks.
// XWayland sees the pointer only over X windows: when it leaves a window we
// follow and no other X window reports it, it is out of sight. XWayland
// tells of that leaving only when the compositor's last motion came with
// relative motion: after motion from an absolute device (a tablet, a
// virtual machine's pointer, a remote desktop), a probe of no motion on its
// relative device makes it tell.
class X11Puntatore final : public Puntatore {
    Q_OBJECT
public:
    explicit X11Puntatore(QObject* parent = nullptr);
    ~X11Puntatore() override;

    static constexpr int kPassoSondaggioMs = 16;
    static constexpr int kQuieteMs = 1000;

    StatoPuntatore stato() const override;
    void sorvegliaDaVicino(bool vicino) override;
    void seguiFinestra(quintptr finestra) override;
    bool usaXInput2() const { return opcode_ != 0; }
    bool sondaggioAttivo() const;

private:
    void leggiEventi();
    void aggiornaSondaggio();
    void annuncia(bool mosso, bool pulsante);
    void sonda();
    // XWayland's absolute and relative pointer devices, when it has both.
    void trovaDispositiviXWayland();
    // A motion of nothing on XWayland's relative device: it tells of a
    // leaving it kept to itself, and changes nothing otherwise.
    void sondaUscita();

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint8_t opcode_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* sondaggio_ = nullptr;
    StatoPuntatore ultimo_;
    bool vicino_ = false;
    bool xwayland_ = false;
    bool fuoriVista_ = false; // left a followed window under XWayland, seen nowhere since
    QElapsedTimer daUltimoMoto_;
    bool sullaFinestra_ = false; // over a window we follow, as the X server last said
    uint16_t assoluto_ = 0, relativo_ = 0; // XWayland's pointer devices
    QTimer* sondaUscita_ = nullptr;
    mutable bool letturaInCoda_ = false;
    int livelloAnnuncio_ = -1; // the event loop level an announcement runs at, -1 outside one
};
