#include "FormaTacca.h"

#include "Disegno.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmapCache>

namespace FormaTacca {

namespace {
bool conOmbre = true;
}

void setOmbre(bool ombre) { conOmbre = ombre; }

void disegnaTraslucida(QPainter& p, const QRectF& r, const QColor& materiale)
{
    const QPainterPath forma = Disegno::rettangoloContinuo(r, 0, kRaggioSotto);
    if (conOmbre) {
        Disegno::ombra(p, forma, QColor(0, 0, 0, 46), 26, {0, kCaduta});
        Disegno::ombra(p, forma, QColor(0, 0, 0, 26), 4, {0, 1});
    }
    p.fillPath(forma, materiale);
    QLinearGradient bordo(r.topLeft(), r.bottomRight());
    bordo.setColorAt(0, Disegno::primario(0.22));
    bordo.setColorAt(0.35, Disegno::primario(0));
    bordo.setColorAt(0.7, Disegno::primario(0));
    bordo.setColorAt(1, Disegno::primario(0.06));
    p.setPen(QPen(QBrush(bordo), 0.5));
    p.drawPath(forma);
}

void disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno)
{
    const QRectF r(cornice.topLeft(), QSizeF(cornice.width(), altezza));
    if (r.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (pieno) // over a physical notch: solid black, no rim, no shadow
        p.fillPath(Disegno::rettangoloContinuo(r, 0, kRaggioSotto), Qt::black);
    else
        disegnaTraslucida(p, r, Disegno::materiale());
    p.restore();
}

void disegnaSegno(QPainter& p, const QRectF& cornice, double opacita)
{
    if (opacita <= 0)
        return;
    const QRectF segno(cornice.center().x() - kSegno.width() / 2, cornice.bottom() - kMargineSegno - kSegno.height(),
                       kSegno.width(), kSegno.height());
    // From a picture kept for its colour: a card's frames repaint the strip
    // beneath them, and the last picture serves them without a lookup.
    const qreal dpr = std::max<qreal>(p.device() ? p.device()->devicePixelRatioF() : 1.0, 1.0);
    const QColor colore = Disegno::primario(opacita);
    static struct {
        QRgb colore = 0;
        qreal dpr = 0;
        QPixmap px;
    } ultimo;
    if (ultimo.px.isNull() || ultimo.colore != colore.rgba() || ultimo.dpr != dpr) {
        const QString chiave = QStringLiteral("segno/%1/%2").arg(colore.rgba()).arg(dpr);
        QPixmap px;
        if (!QPixmapCache::find(chiave, &px)) {
            px = QPixmap((QSizeF(kSegno) * dpr).toSize() + QSize(2, 2));
            px.setDevicePixelRatio(dpr);
            px.fill(Qt::transparent);
            QPainter q(&px);
            q.setRenderHint(QPainter::Antialiasing);
            q.setPen(Qt::NoPen);
            q.setBrush(colore);
            q.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(kSegno)), kSegno.height() / 2, kSegno.height() / 2);
            q.end();
            QPixmapCache::insert(chiave, px);
        }
        ultimo = {colore.rgba(), dpr, px};
    }
    const QPixmap& px = ultimo.px;
    p.drawPixmap(segno.topLeft(), px);
}

} // namespace FormaTacca
