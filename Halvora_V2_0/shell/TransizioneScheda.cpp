#include "TransizioneScheda.h"

#include <QPainter>
#include <QVariantAnimation>

namespace {
// Room above the card for the upward offset of an entering card.
constexpr int kMargine = 16;

double tra(double a, double b, double t)
{
    return a + (b - a) * t;
}
} // namespace

TransizioneScheda::TransizioneScheda(const QPixmap& immagine, QRect dove, Posa da, Posa a, int durataMs,
                                     QWidget* parent)
    : QWidget(parent), immagine_(immagine), da_(da), a_(a), animazione_(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(dove.adjusted(0, -kMargine, 0, 0));
    animazione_->setStartValue(0.0);
    animazione_->setEndValue(1.0);
    animazione_->setDuration(durataMs);
    animazione_->setEasingCurve(da.opacita < a.opacita ? QEasingCurve::OutCubic : QEasingCurve::InOutQuad);
    connect(animazione_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { setAvanzamento(v.toDouble()); });
    connect(animazione_, &QVariantAnimation::finished, this, &TransizioneScheda::completa);
}

void TransizioneScheda::avvia()
{
    raise();
    show();
    animazione_->start();
}

void TransizioneScheda::setAvanzamento(double t)
{
    t_ = std::clamp(t, 0.0, 1.0);
    update();
}

void TransizioneScheda::completa()
{
    if (finita_)
        return;
    finita_ = true;
    animazione_->stop();
    setAvanzamento(1);
    emit finita();
    deleteLater();
}

QRectF TransizioneScheda::rettangoloDisegnato() const
{
    const double scala = tra(da_.scala, a_.scala, t_);
    const QSizeF dim = immagine_.deviceIndependentSize();
    const QRectF r(dim.width() / 2 * (1 - scala), kMargine + tra(da_.scostamentoY, a_.scostamentoY, t_),
                   dim.width() * scala, dim.height() * scala);
    return r.translated(pos());
}

double TransizioneScheda::opacita() const
{
    return tra(da_.opacita, a_.opacita, t_);
}

void TransizioneScheda::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (sopra_) {
        QPainterPath fuori;
        fuori.addRect(rect());
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(fuori.subtracted(sopra_().translated(-pos())));
    }
    p.setOpacity(opacita());
    const double scala = tra(da_.scala, a_.scala, t_);
    const QSizeF dim = immagine_.deviceIndependentSize();
    p.translate(dim.width() / 2, kMargine + tra(da_.scostamentoY, a_.scostamentoY, t_));
    p.scale(scala, scala);
    p.drawPixmap(QPointF(-dim.width() / 2, 0), immagine_);
}
