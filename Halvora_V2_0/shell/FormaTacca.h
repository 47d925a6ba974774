#pragma once

#include <QRectF>

class QPainter;

// The notch shape shared by the closed strip and the open panel: square top
// corners, 24-pixel continuous bottom corners, solid black over a physical
// notch, translucent elsewhere with a faint rim and two shadows.
namespace FormaTacca {

inline constexpr double kRaggioSotto = 24;
inline constexpr QSizeF kSegno{26, 3};
inline constexpr double kMargineSegno = 5;

// `cornice`: the notch frame; `altezza`: the drawn height (5 for the edge tab).
void disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno);
// The strip marker centred at the bottom of the closed strip.
void disegnaSegno(QPainter& p, const QRectF& cornice, double opacita);

} // namespace FormaTacca
