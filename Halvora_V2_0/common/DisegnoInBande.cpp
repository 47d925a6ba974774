#include "DisegnoInBande.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
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

void copiaImmagine(QPainter& p, const QPointF& dove, const QImage& immagine)
{
    const QPaintEngine* motore = p.paintEngine();
    const QRegion regione = motore ? motore->systemClip() : QRegion();
    const QTransform t = p.deviceTransform();
    if (regione.rectCount() <= 1 || t.type() > QTransform::TxScale) {
        p.drawImage(dove, immagine);
        return;
    }
    const QTransform inversa = t.inverted();
    const QRectF tutta(dove, immagine.deviceIndependentSize());
    const qreal dpr = immagine.devicePixelRatio();
    for (const QRect& r : regione) {
        // The rectangle in the painter's coordinates, and that part of the picture.
        const QRectF qui = inversa.mapRect(QRectF(r)).intersected(tutta);
        if (qui.isEmpty())
            continue;
        const QRectF sorgente((qui.topLeft() - dove) * dpr, qui.size() * dpr);
        p.drawImage(qui, immagine, sorgente);
    }
}

QImage immagineTrasparente(const QSizeF& lato, qreal dpr)
{
    QImage immagine((lato * dpr).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    immagine.setDevicePixelRatio(dpr);
    immagine.fill(Qt::transparent);
    return immagine;
}
