#pragma once

#include "AttivitaNotch.h"

#include <QWidget>

// The card of the visible notice: icon or image, title and an optional
// second line on a rounded translucent card, tinted when the notice has a
// tint. The widget is larger than the card by the room its shadow needs.
class AttivitaCardView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{180, 46};
    static constexpr int kMargineOmbra = 26;

    explicit AttivitaCardView(AttivitaNotch attivita, QWidget* parent = nullptr);
    const AttivitaNotch& attivita() const { return attivita_; }
    // The card itself inside the widget.
    QRectF rettangoloScheda() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    AttivitaNotch attivita_;
};
