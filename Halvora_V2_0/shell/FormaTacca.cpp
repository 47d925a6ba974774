#include "FormaTacca.h"

#include "Disegno.h"

#include <QImage>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace FormaTacca {

namespace {

// How far the shadows reach around the shape: the wide one spreads 26 and
// drops 12, each stroke a pixel or two of antialiasing beyond.
constexpr double kMargineOmbra = 30;
constexpr double kCaduta = 12;

void disegnaTraslucida(QPainter& p, const QRectF& r)
{
    const QPainterPath forma = Disegno::rettangoloContinuo(r, 0, kRaggioSotto);
    Disegno::ombra(p, forma, QColor(0, 0, 0, 46), 26, {0, kCaduta});
    Disegno::ombra(p, forma, QColor(0, 0, 0, 26), 4, {0, 1});
    p.fillPath(forma, Disegno::materiale());
    QLinearGradient bordo(r.topLeft(), r.bottomRight());
    bordo.setColorAt(0, Disegno::primario(0.22));
    bordo.setColorAt(0.35, Disegno::primario(0));
    bordo.setColorAt(0.7, Disegno::primario(0));
    bordo.setColorAt(1, Disegno::primario(0.06));
    p.setPen(QPen(QBrush(bordo), 0.5));
    p.drawPath(forma);
}

// The last translucent shape drawn and, once it is drawn again alike, its
// picture: a notch at rest repaints under its content (each tick of a
// module over it) without stroking its shadows again, while a moving notch,
// new at every frame, draws straight and holds no picture.
struct Memoria {
    QRectF forma; // in the picture's coordinates, which fall on whole device pixels
    double dpr = 0;
    QColor materiale;
    QImage immagine;
};

Memoria& memoria()
{
    static Memoria m;
    return m;
}

} // namespace

void disegna(QPainter& p, const QRectF& cornice, double altezza, bool pieno)
{
    const QRectF r(cornice.topLeft(), QSizeF(cornice.width(), altezza));
    if (r.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (pieno) {
        // Over a physical notch: solid black, no rim, no shadow.
        p.fillPath(Disegno::rettangoloContinuo(r, 0, kRaggioSotto), Qt::black);
        p.restore();
        return;
    }
    const QTransform& mondo = p.worldTransform();
    const bool semplice = mondo.type() <= QTransform::TxTranslate && p.opacity() == 1
                          && p.compositionMode() == QPainter::CompositionMode_SourceOver && p.device();
    if (!semplice) {
        disegnaTraslucida(p, r);
        p.restore();
        return;
    }
    // The picture starts on a whole device pixel, so it lands on the same
    // pixels, with the same coverage, as the shape drawn straight.
    const double dpr = p.device()->devicePixelRatioF();
    const QPointF spostamento(mondo.dx(), mondo.dy());
    const QRectF area = r.adjusted(-kMargineOmbra, -kMargineOmbra, kMargineOmbra, kMargineOmbra + kCaduta);
    const QPointF origine(std::floor((area.left() + spostamento.x()) * dpr),
                          std::floor((area.top() + spostamento.y()) * dpr));
    const QPointF versoImmagine = spostamento - origine / dpr;
    const QRectF locale = r.translated(versoImmagine);
    Memoria& m = memoria();
    const QColor materiale = Disegno::materiale();
    if (m.forma != locale || m.dpr != dpr || m.materiale != materiale) {
        m = {locale, dpr, materiale, {}};
        disegnaTraslucida(p, r);
        p.restore();
        return;
    }
    if (m.immagine.isNull()) {
        m.immagine = QImage(QSize(int(std::ceil(area.width() * dpr)) + 2, int(std::ceil(area.height() * dpr)) + 2),
                            QImage::Format_ARGB32_Premultiplied);
        m.immagine.setDevicePixelRatio(dpr);
        m.immagine.fill(Qt::transparent);
        QPainter q(&m.immagine);
        q.setRenderHint(QPainter::Antialiasing);
        q.translate(versoImmagine);
        disegnaTraslucida(q, r);
    }
    p.drawImage(origine / dpr - spostamento, m.immagine);
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
