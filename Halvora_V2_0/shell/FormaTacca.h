#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The notch shape shared by the closed strip and the open panel: square top
// corners, 24-pixel continuous bottom corners, solid black over a physical
// notch, translucent elsewhere with a faint rim and two shadows.
namespace FormaTacca {

inline constexpr double kRaggioSotto = 24;
inline constexpr QSizeF kSegno{26, 3};
inline constexpr double kMargineSegno = 5;
// How far the shadows reach around the shape: the wide one spreads 26 and
// drops 12, each stroke a pixel or two of antialiasing beyond.
inline constexpr double kMargineOmbra = 30;
inline constexpr double kCaduta = 12;

// Whether the shape casts its shadows: not where the window is cut at the
// shape itself (under XWayland), which would cut them square. Set once,
// before anything is drawn.
void setOmbre(bool ombre);

// `cornice`: the notch frame; `altezza`: the drawn height (5 for the edge tab).
void disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno);
// The translucent shape over `r`: shadows, `materiale` and rim.
void disegnaTraslucida(QPainter& p, const QRectF& r, const QColor& materiale);
// The strip marker centred at the bottom of the closed strip.
void disegnaSegno(QPainter& p, const QRectF& cornice, double opacita);

} // namespace FormaTacca
