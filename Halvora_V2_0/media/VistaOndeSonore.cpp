#include "VistaOndeSonore.h"

#include "BattitoStrati.h"
#include "DisegnoInBande.h"
#include "StratiPulsanti.h"

#include <QPainter>
#include <cmath>

VistaOndeSonore::VistaOndeSonore(QWidget* parent, Clock& clock) : QWidget(parent), clock_(clock)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(18, 14);
}

void VistaOndeSonore::setAnimate(bool animate)
{
    if (animate == animando_)
        return;
    animando_ = animate;
    if (animando_)
        inizio_ = clock_.monotonic();
    aggiornaTimer();
    update();
}

void VistaOndeSonore::setSfondo(const QImage& sfondo)
{
    if (sfondo == sfondo_)
        return;
    sfondo_ = sfondo;
    setAttribute(Qt::WA_OpaquePaintEvent, !sfondo_.isNull());
    update();
}

void VistaOndeSonore::aggiornaTimer()
{
    // Frames only while the bars move and can be seen.
    if (!animando_ || !isVisible())
        timer_.cancel();
    else if (!timer_.isActive())
        timer_ = BattitoStrati::segui(clock_, [this] { passo(); });
}

QRect VistaOndeSonore::barraDisegnata(int i, qreal dpr) const
{
    const QRectF b = barra(i);
    const double q = 4 * dpr;
    return {int(std::lround(b.x() * q)), int(std::lround(b.y() * q)), int(std::lround(b.width() * q)),
            int(std::lround(b.height() * q))};
}

void VistaOndeSonore::passo()
{
    // Only where a bar's pixels change: a bar that moved by less than a
    // quarter of a device pixel looks the same.
    QRectF daRidisegnare;
    // Asked once: the widget finds its screen anew each time.
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < 4; ++i) {
        const QRect ora = barraDisegnata(i, dpr);
        if (ora == disegnate_[size_t(i)])
            continue;
        const double x = 0.25 + 5 * i;
        daRidisegnare |= QRectF(x - 0.5, 0, 3.5, height());
    }
    if (!daRidisegnare.isEmpty())
        update(daRidisegnare.toAlignedRect());
}

void VistaOndeSonore::showEvent(QShowEvent*) { aggiornaTimer(); }

void VistaOndeSonore::hideEvent(QHideEvent*) { aggiornaTimer(); }

double VistaOndeSonore::scala(int i) const
{
    if (!animando_)
        return 1;
    const Banda& b = kBande[size_t(i)];
    const double minima = 4 / altezzaPiena(i);
    // Each bar starts `fase` into its own swing.
    const double t = clock_.monotonic() - inizio_ + b.fase / b.velocita;
    return minima + (1 - minima) * avanzamentoOscillante(t, b.velocita);
}

QRectF VistaOndeSonore::barra(int i) const
{
    const double h = altezzaPiena(i) * scala(i);
    const double cx = 1.25 + 0.25 + 5 * i;
    return {cx - 1.25, 7 - h / 2, 2.5, h};
}

void VistaOndeSonore::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!sfondo_.isNull())
        p.drawImage(QRectF(rect()), sfondo_);
    // The label colour of the current appearance, so a palette change recolours at once.
    const QColor etichetta = palette().color(QPalette::WindowText);
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < 4; ++i) {
        disegnate_[size_t(i)] = barraDisegnata(i, dpr);
        p.drawImage(QPointF(std::floor(barra(i).x()), 0), immagineBarra(i, disegnate_[size_t(i)], etichetta, dpr));
    }
}

const QImage& VistaOndeSonore::immagineBarra(int i, const QRect& quarti, const QColor& etichetta, qreal dpr)
{
    // A bar at one height is the same picture every time it comes back:
    // drawn once, on its own column, then copied.
    if (etichetta != coloreBarre_ || dpr != dprBarre_) {
        barre_.clear();
        coloreBarre_ = etichetta;
        dprBarre_ = dpr;
    }
    const quint64 chiave = (quint64(i) << 48) | (quint64(quint16(quarti.y())) << 32) | quint32(quarti.height());
    auto it = barre_.find(chiave);
    if (it != barre_.end())
        return *it;
    const QRectF b = barra(i);
    const double colonna = std::floor(b.x());
    QImage img = immagineTrasparente(QSizeF(4, height()), dpr);
    QPainter q(&img);
    q.setRenderHint(QPainter::Antialiasing);
    q.setPen(Qt::NoPen);
    QColor c = etichetta;
    c.setAlphaF(float(kBande[size_t(i)].opacita));
    q.setBrush(c);
    const double quarto = 0.25 / dpr;
    q.drawRoundedRect(QRectF(b.x() - colonna, quarti.y() * quarto, b.width(), quarti.height() * quarto), 1.25, 1.25);
    q.end();
    return *barre_.insert(chiave, img);
}
