#pragma once

#include "Screens.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

class NotchStateManager;

// Where the panel hangs and which of its parts count as hovered or take
// clicks. Global coordinates, y down, in device-independent pixels.
namespace GeometriaPannello {

inline constexpr QSizeF kCanvas{800, 600};
// How far the pointer may stray from the open notch before it counts as gone.
inline constexpr double kMargineUscita = 12;
inline constexpr double kAltezzaLinguetta = 5;
// The notice and media card hanging under the closed notch.
inline constexpr QSizeF kDimensioneScheda{180, 46};
inline constexpr double kDistaccoScheda = 8;

// The panel's frame: hanging from the screen's top edge, centred on the notch.
QRectF framePannello(const ScreenInfo& schermo);
// The notch itself: open at the tab's size, closed at the compact size, or
// the 5-pixel edge tab of the discreet mode; centred, touching the top.
QRectF zonaHover(const QRectF& frame, const NotchStateManager& stato);
// The card rectangle under the closed notch.
QRectF rettangoloScheda(const QRectF& frame, QSizeF dimensioneCompatta);
// What the notch draws at rest, global: the notch and the card rectangles
// (the markers'), with the shadows around them, inside the canvas `frame`.
QRectF areaDisegnata(const NotchStateManager& stato, const QRectF& frame, const QList<QRectF>& rettangoliSchede);
// The regions that take the pointer: none while a capture runs, the open
// notch, else the closed strip (where the pointer opens it anyway) and the
// card markers while a closed-notch card needs clicks.
QList<QRectF> regioniCliccabili(const NotchStateManager& stato, const QRectF& frame,
                                const QList<QRectF>& rettangoliSchede);

} // namespace GeometriaPannello
