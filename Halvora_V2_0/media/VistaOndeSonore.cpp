#include "VistaOndeSonore.h"

#include "StratiPulsanti.h"

#include <QPainter>

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
        timer_ = clock_.repeating(1.0 / intervalloFotogrammi().preferito, [this] { update(); });
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
    if (!sfondo_.isNull()) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QRectF(rect()), sfondo_);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // The label colour of the current appearance, so a palette change recolours at once.
    const QColor etichetta = palette().color(QPalette::WindowText);
    for (int i = 0; i < 4; ++i) {
        QColor c = etichetta;
        c.setAlphaF(float(kBande[size_t(i)].opacita));
        p.setBrush(c);
        p.drawRoundedRect(barra(i), 1.25, 1.25);
    }
}
