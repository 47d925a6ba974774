#pragma once

#include "TastoGlobale.h"

#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;

// Control+Alt+N grabbed on the root window, once for each state of Caps Lock
// and Num Lock, on a connection of its own. Closing that connection (also
// when the process dies) releases the grab.
class X11TastoGlobale final : public TastoGlobale {
    Q_OBJECT
public:
    explicit X11TastoGlobale(QObject* parent = nullptr);
    ~X11TastoGlobale() override;

    bool registra() override;
    void rilascia() override;
    bool registrato() const { return registrato_; }

private:
    uint8_t codiceTastoN() const;
    void leggiEventi();

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint8_t codice_ = 0;
    bool registrato_ = false;
    uint32_t ultimoRilascio_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};
