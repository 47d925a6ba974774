#include "DisegnoInBande.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

void disegnaInBande(QPainter& p, const QRectF& area, int righe, const std::function<void()>& disegna)
{
    if (area.isEmpty())
        return;
    const qreal dpr = p.device() ? std::max<qreal>(p.device()->devicePixelRatioF(), 1) : 1;
    // The painter's vertical scale turns our lines into the device's.
    const qreal scala = std::max(std::abs(p.worldTransform().m22()), 1e-6) * dpr;
    const double passo = std::max(1, righe) / scala;
    for (double y = area.top(); y < area.bottom(); y += passo) {
        p.save();
        p.setClipRect(QRectF(area.left(), y, area.width(), std::min(passo, area.bottom() - y)), Qt::IntersectClip);
        disegna();
        p.restore();
    }
}
