#include "DisegnoMedia.h"

#include "Simboli.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

namespace DisegnoMedia {

QFont carattere(double pixel, QFont::Weight peso, bool monospazio)
{
    QFont f = monospazio ? QFont(QStringLiteral("monospace")) : QFont();
    if (monospazio)
        f.setStyleHint(QFont::Monospace);
    f.setPixelSize(std::max(1, int(std::lround(pixel))));
    f.setWeight(peso);
    return f;
}

void simbolo(QPainter& p, const QString& nome, const QRectF& dove, double lato, const QColor& colore)
{
    const int l = std::max(1, int(std::lround(lato)));
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap px = Simboli::pixmap(nome, l, colore, std::max<qreal>(dpr, 1.0));
    const QRectF r(dove.center().x() - l / 2.0, dove.center().y() - l / 2.0, l, l);
    p.drawPixmap(r, px, QRectF(px.rect()));
}

void testoRiga(QPainter& p, const QString& testo, const QRectF& dove, QFont f, const QColor& colore, double scalaMinima,
               Qt::Alignment allinea)
{
    const int base = f.pixelSize();
    for (int px = base; px >= int(std::ceil(base * scalaMinima)) && px > 1; --px) {
        f.setPixelSize(px);
        if (QFontMetricsF(f).horizontalAdvance(testo) <= dove.width())
            break;
    }
    p.setFont(f);
    p.setPen(colore);
    p.drawText(dove, int(allinea), QFontMetricsF(f).elidedText(testo, Qt::ElideRight, dove.width()));
}

bool copertina(QPainter& p, const QImage& immagine, const QRectF& dove, double raggio)
{
    if (immagine.isNull())
        return false;
    p.save();
    QPainterPath forma;
    forma.addRoundedRect(dove, raggio, raggio);
    p.setClipPath(forma);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(dove, immagine);
    p.restore();
    return true;
}

QSizeF misuraPillola(const QString& simbolo, const QString& testo, const QFont& f, double padX, double padY)
{
    const QFontMetricsF m(f);
    const double lato = f.pixelSize();
    return {padX * 2 + (simbolo.isEmpty() ? 0 : lato + 4) + m.horizontalAdvance(testo), padY * 2 + m.height()};
}

void pillola(QPainter& p, const QRectF& dove, const QString& nome, const QString& testo, const QFont& f, double padX,
             const QColor& colore, const QColor& sfondo)
{
    p.setPen(Qt::NoPen);
    p.setBrush(sfondo);
    p.drawRoundedRect(dove, dove.height() / 2, dove.height() / 2);
    double x = dove.left() + padX;
    const double lato = f.pixelSize();
    if (!nome.isEmpty()) {
        simbolo(p, nome, QRectF(x, dove.top(), lato, dove.height()), lato, colore);
        x += lato + 4;
    }
    p.setFont(f);
    p.setPen(colore);
    // A pill narrower than its text ends it with an ellipsis, never mid-letter.
    const double larghezza = dove.right() - padX - x;
    p.drawText(QRectF(x, dove.top(), larghezza + padX, dove.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetricsF(f).elidedText(testo, Qt::ElideRight, larghezza));
}

void velaTinta(QPainter& p, const QPainterPath& forma, const QColor& tinta, double da, double a)
{
    const QRectF r = forma.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    QColor inizio = tinta, fine = tinta;
    inizio.setAlphaF(float(tinta.alphaF() * da));
    fine.setAlphaF(float(tinta.alphaF() * a));
    g.setColorAt(0, inizio);
    g.setColorAt(1, fine);
    p.fillPath(forma, g);
}

QColor mescola(const QColor& a, const QColor& b, double k)
{
    auto m = [k](float x, float y) { return float(x + (y - x) * k); };
    return QColor::fromRgbF(m(a.redF(), b.redF()), m(a.greenF(), b.greenF()), m(a.blueF(), b.blueF()), m(a.alphaF(), b.alphaF()));
}

} // namespace DisegnoMedia
