#pragma once

#include <QColor>

// The interface's named colours, in sRGB.
namespace Colori {
inline QColor arancione() { return QColor(255, 149, 0); }
inline QColor rosso() { return QColor(255, 59, 48); }
inline QColor verde() { return QColor(52, 199, 89); }
inline QColor blu() { return QColor(0, 122, 255); }
inline QColor giallo() { return QColor(255, 204, 0); }
inline QColor grigio() { return QColor(142, 142, 147); }
inline QColor indaco() { return QColor(88, 86, 214); }
inline QColor viola() { return QColor(175, 82, 222); }
inline QColor rosa() { return QColor(255, 45, 85); }
inline QColor teal() { return QColor(64, 200, 224); }
inline QColor ciano() { return QColor(50, 173, 230); }
// The accent colour of the interface.
inline QColor accento() { return blu(); }
} // namespace Colori
