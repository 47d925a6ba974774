#include "Disegno.h"

#include "SchedaChiusa.h"

#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace Disegno {

QColor materiale()
{
    return AspettoScheda::materiale();
}

QColor primario(double opacita)
{
    QColor c(Qt::white);
    c.setAlphaF(static_cast<float>(opacita));
    return c;
}

QColor secondario()
{
    return primario(0.6);
}

namespace {
// How far along each edge a continuous corner begins, per unit of radius,
// and how far its control points reach towards the vertex: a longer, flatter
// run-in than a circular arc (1 and 0.55), so the curvature starts gently.
constexpr double kEstensione = 1.28;
constexpr double kTensione = 0.68;

void angolo(QPainterPath& path, QPointF vertice, QPointF versoInizio, QPointF versoFine, double r)
{
    // versoInizio/versoFine: unit vectors from the vertex along the two edges.
    const double e = r * kEstensione;
    const QPointF inizio = vertice + versoInizio * e;
    const QPointF fine = vertice + versoFine * e;
    path.lineTo(inizio);
    path.cubicTo(inizio + (vertice - inizio) * kTensione, fine + (vertice - fine) * kTensione, fine);
}
} // namespace

QPainterPath rettangoloContinuo(const QRectF& r, double raggioSopra, double raggioSotto)
{
    const double limite = std::min(r.width(), r.height()) / (2 * kEstensione);
    const double rs = std::clamp(raggioSopra, 0.0, limite);
    const double ri = std::clamp(raggioSotto, 0.0, limite);
    QPainterPath p;
    p.moveTo(r.left() + rs * kEstensione, r.top());
    auto vertice = [&](QPointF v, QPointF a, QPointF b, double raggio) {
        if (raggio <= 0)
            p.lineTo(v);
        else
            angolo(p, v, a, b, raggio);
    };
    vertice(r.topRight(), {-1, 0}, {0, 1}, rs);
    vertice(r.bottomRight(), {0, -1}, {-1, 0}, ri);
    vertice(r.bottomLeft(), {1, 0}, {0, -1}, ri);
    vertice(r.topLeft(), {0, 1}, {1, 0}, rs);
    p.closeSubpath();
    return p;
}

void ombra(QPainter& p, const QPainterPath& forma, const QColor& colore, double raggio, QPointF spostamento)
{
    if (colore.alpha() == 0)
        return;
    // Concentric outlines of falling opacity approximate a Gaussian blur
    // without an offscreen pass. Outside the shape each outline is a wide
    // stroke clipped to the outside; inside, every outline overlaps, so one
    // fill with their combined opacity stands for all of them.
    const int passi = std::max(1, static_cast<int>(std::ceil(raggio / 2)));
    p.save();
    p.translate(spostamento);
    QPainterPath fuori;
    fuori.setFillRule(Qt::OddEvenFill);
    fuori.addRect(forma.boundingRect().adjusted(-raggio - 2, -raggio - 2, raggio + 2, raggio + 2));
    fuori.addPath(forma);
    p.setClipPath(fuori, Qt::IntersectClip);
    p.setBrush(Qt::NoBrush);
    double trasparenza = 1; // what the outlines let through, inside
    for (int i = passi; i >= 1; --i) {
        const double t = static_cast<double>(i) / passi;
        const double a = colore.alphaF() * (1 - t) * (1 - t) * 2.2 / passi;
        trasparenza *= 1 - a;
        QColor c = colore;
        c.setAlphaF(static_cast<float>(a));
        p.setPen(QPen(c, 2 * raggio * t, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(forma);
    }
    p.setClipping(false);
    QColor dentro = colore;
    dentro.setAlphaF(static_cast<float>(1 - trasparenza));
    p.fillPath(forma, dentro);
    p.restore();
}

QPixmap istantanea(QWidget* w, QSize dimensione, qreal dpr)
{
    QPixmap faccia(dimensione * dpr);
    faccia.setDevicePixelRatio(dpr);
    faccia.fill(Qt::transparent);
    if (!w)
        return faccia;
    if (w->layout())
        w->layout()->activate();
    w->render(&faccia, QPoint(), QRegion(), QWidget::DrawChildren);
    return faccia;
}

} // namespace Disegno
