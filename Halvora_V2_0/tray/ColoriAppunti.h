#pragma once

#include "Colori.h"

#include <QColor>

// Colours of the clipboard tab on the notch's dark panel.
namespace ColoriAppunti {
inline QColor teal() { return Colori::teal(); }
inline QColor primario() { return QColor(255, 255, 255, 230); }
inline QColor secondario() { return QColor(235, 235, 245, 153); }
// Dark translucent materials, as white over the black panel.
inline QColor materialeUltraSottile() { return QColor(255, 255, 255, 18); }
inline QColor materialeRegolare() { return QColor(255, 255, 255, 31); }
inline QColor conOpacita(QColor c, qreal opacita)
{
    c.setAlphaF(c.alphaF() * opacita);
    return c;
}
} // namespace ColoriAppunti
