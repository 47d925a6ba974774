#include "FormaTacca.h"

#include "Disegno.h"

#include <QLinearGradient>
#include <QPainter>

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
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Disegno::primario(opacita));
    p.drawRoundedRect(segno, kSegno.height() / 2, kSegno.height() / 2);
    p.restore();
}

} // namespace FormaTacca
