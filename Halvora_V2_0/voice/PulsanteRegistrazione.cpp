#include "PulsanteRegistrazione.h"

#include "Colori.h"
#include "Simboli.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {
// Room around the button for the widest glow.
constexpr int margine = 22;
} // namespace

PulsanteRegistrazione::PulsanteRegistrazione(QWidget* parent)
    : QAbstractButton(parent), pulsazione_(new QVariantAnimation(this))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    // A springy swing to the top and back, for ever.
    pulsazione_->setDuration(900);
    pulsazione_->setLoopCount(-1);
    pulsazione_->setKeyValueAt(0.0, 0.0);
    pulsazione_->setKeyValueAt(0.5, 1.0);
    pulsazione_->setKeyValueAt(1.0, 0.0);
    pulsazione_->setEasingCurve(QEasingCurve::InOutSine);
    connect(pulsazione_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { impostaImpulso(v.toReal()); });
}

QSize PulsanteRegistrazione::sizeHint() const { return {lato + 2 * margine, lato + 2 * margine}; }

void PulsanteRegistrazione::impostaRegistrando(bool valore)
{
    if (registrando_ == valore)
        return;
    registrando_ = valore;
    riavviaPulsazione();
}

void PulsanteRegistrazione::riavviaPulsazione()
{
    pulsazione_->stop();
    impostaImpulso(0);
    if (registrando_)
        pulsazione_->start();
}

bool PulsanteRegistrazione::pulsazioneAttiva() const
{
    return pulsazione_->state() == QAbstractAnimation::Running;
}

void PulsanteRegistrazione::impostaImpulso(qreal valore)
{
    impulso_ = qBound(0.0, valore, 1.0);
    update();
}

void PulsanteRegistrazione::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centro = QRectF(rect()).center();
    const QColor rosso = Colori::rosso();

    if (!registrando_) {
        p.setPen(Qt::NoPen);
        p.setBrush(rosso);
        p.drawEllipse(centro, lato / 2.0, lato / 2.0);
        const int simbolo = 28;
        p.drawPixmap(QPointF(centro.x() - simbolo / 2.0, centro.y() - simbolo / 2.0),
                     Simboli::pixmap(QStringLiteral("mic.fill"), simbolo, Qt::white, devicePixelRatioF()));
        return;
    }

    p.setOpacity(opacita());
    p.translate(centro);
    p.scale(scala(), scala());
    const QRectF forma(-lato / 2.0, -lato / 2.0, lato, lato);

    // The glow: the same shape widened in steps that fade outwards.
    const int passi = 8;
    const qreal raggio = raggioOmbra();
    for (int i = passi; i >= 1; --i) {
        const qreal allarga = raggio * i / passi;
        QColor c = rosso;
        c.setAlphaF(opacitaOmbra() * 2.0 / passi * (1.0 - qreal(i - 1) / passi));
        QPainterPath alone;
        alone.addRoundedRect(forma.adjusted(-allarga, -allarga, allarga, allarga), 14 + allarga, 14 + allarga);
        p.fillPath(alone, c);
    }
    QPainterPath quadrato;
    quadrato.addRoundedRect(forma, 14, 14);
    p.fillPath(quadrato, rosso);
    const int simbolo = 28;
    p.drawPixmap(QPointF(-simbolo / 2.0, -simbolo / 2.0),
                 Simboli::pixmap(QStringLiteral("stop.fill"), simbolo, Qt::white, devicePixelRatioF()));
}
