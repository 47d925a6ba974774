#pragma once

#include "SchedaChiusa.h"

#include <QColor>
#include <QFont>

// Text colours and fonts of the voice views, drawn on the dark notch.
namespace StileVoce {
inline QColor primario() { return QColor(255, 255, 255); }
inline QColor secondario() { return QColor(255, 255, 255, 150); }
using AspettoScheda::terziario;

inline QFont carattere(int pixel, QFont::Weight peso = QFont::Normal)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}
} // namespace StileVoce
