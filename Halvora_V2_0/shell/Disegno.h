#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

class QPainter;
class QWidget;

// Drawing pieces shared by the notch and its cards.
namespace Disegno {

// The fill that stands in for the system's ultra-thin material.
QColor materiale();
// Text colours of the dark interface.
QColor primario(double opacita = 1.0);
QColor secondario();

// A rectangle with continuous (superellipse-like) corners: the curve starts
// further along each edge than a circular arc would, so the corner has no
// visible joint. Top and bottom radii separately.
QPainterPath rettangoloContinuo(const QRectF& r, double raggioSopra, double raggioSotto);
inline QPainterPath rettangoloContinuo(const QRectF& r, double raggio)
{
    return rettangoloContinuo(r, raggio, raggio);
}

// A soft shadow of `forma`: `colore` spread over `raggio` pixels, moved by `spostamento`.
void ombra(QPainter& p, const QPainterPath& forma, const QColor& colore, double raggio, QPointF spostamento);

// The widget's look now, laid out at `dimensione`, over nothing: what it
// does not paint itself stays clear, as it does over the panel.
QPixmap istantanea(QWidget* w, QSize dimensione, qreal dpr);

} // namespace Disegno
