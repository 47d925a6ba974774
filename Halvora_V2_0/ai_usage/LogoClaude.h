#pragma once

#include <QByteArrayView>
#include <QPainterPath>
#include <QRectF>
#include <optional>

// The Claude provider's mark: one outline in a 24 × 24 box, parsed once
// from SVG path data and fitted into any rectangle.
namespace LogoClaude {

// The outline in the largest square centred in `rettangolo`.
QPainterPath percorso(const QRectF& rettangolo);

// The parsed outline in its 24 × 24 box.
const QPainterPath& percorsoLogo();

} // namespace LogoClaude

// SVG path data with the commands M, L, H, V, C and Z (absolute or
// relative). Stops at the first command or number it cannot read and
// returns what it built so far.
QPainterPath analizzaPercorsoSVG(QByteArrayView dati);

// One number at `pos` (commas and spaces before it skipped), moving `pos`
// past it; none when there is no number there.
std::optional<double> leggiNumeroSVG(QByteArrayView dati, qsizetype& pos);
