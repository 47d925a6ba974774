#pragma once

#include "Molla.h"

#include <QWidget>

class AttivitaManager;
class NotchStateManager;
class SlotScheda;

// The single view inside the panel: the notch shape (closed strip or open
// panel) hanging from the top centre, and under the closed notch at most one
// card.
class RootNotchView : public QWidget {
    Q_OBJECT
public:
    RootNotchView(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas, QWidget* parent = nullptr);

    // The notch frame as drawn now (it follows the state on springs).
    QRectF rettangoloTacca() const;
    SlotScheda* slot() const { return slot_; }
    // Ends every running animation at once (renders, tests).
    void completaAnimazioni();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QSizeF dimensioneTacca() const;
    void aggiornaTacca();
    void aggiornaSlot();
    void disponi();

    NotchStateManager& stato_;
    AttivitaManager& attivita_;
    Molla larghezza_, altezza_;
    AnimatoreMolle animatore_;
    SlotScheda* slot_;
};
