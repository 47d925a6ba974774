#pragma once

#include "Puntatore.h"

#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;
class QTimer;

// The pointer through XInput2 raw events on the root window (they reach us
// whatever window has the pointer or a grab), read with one query per batch
// of events, and a 60 Hz poll for moves that make no raw events (warps).
// Without XInput2 the poll also reports the clicks.
class X11Puntatore final : public Puntatore {
    Q_OBJECT
public:
    explicit X11Puntatore(QObject* parent = nullptr);
    ~X11Puntatore() override;

    StatoPuntatore stato() const override;
    bool usaXInput2() const { return opcode_ != 0; }

private:
    void leggiEventi();
    void sonda();
    // The query alone, without scheduling a read of queued events.
    StatoPuntatore interroga() const;

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint8_t opcode_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* sondaggio_ = nullptr;
    StatoPuntatore ultimo_;
    mutable bool letturaInCoda_ = false;
};
