#include "PulsanteSimbolo.h"

#include "Simboli.h"

#include <QPainter>
#include <QVariantAnimation>

PulsanteSimbolo::PulsanteSimbolo(const QString& simbolo, int lato, const QColor& colore, QWidget* parent)
    : QAbstractButton(parent), simbolo_(simbolo), lato_(lato), colore_(colore)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void PulsanteSimbolo::impostaSimbolo(const QString& simbolo)
{
    if (simbolo_ == simbolo)
        return;
    simbolo_ = simbolo;
    update();
}

void PulsanteSimbolo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setOpacity(isEnabled() ? (isDown() ? 0.6 : 1.0) : 0.4);
    if (simbolo_.endsWith(QLatin1String(".circle.fill"))) {
        // A filled disc with the glyph cut out in black, as the symbol's name says.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(colore_);
        p.drawEllipse(QRectF((width() - lato_) / 2.0, (height() - lato_) / 2.0, lato_, lato_));
        const int glifo = lato_ / 2;
        p.drawPixmap((width() - glifo) / 2, (height() - glifo) / 2,
                     Simboli::pixmap(simbolo_, glifo, Qt::black, devicePixelRatioF()));
        return;
    }
    const QPixmap px = Simboli::pixmap(simbolo_, lato_, colore_, devicePixelRatioF());
    p.drawPixmap((width() - lato_) / 2, (height() - lato_) / 2, px);
}

IndicatoreAttivita::IndicatoreAttivita(int lato, QWidget* parent)
    : QWidget(parent), lato_(lato), giro_(new QVariantAnimation(this))
{
    setFixedSize(lato, lato);
    giro_->setStartValue(0.0);
    giro_->setEndValue(360.0);
    giro_->setDuration(900);
    giro_->setLoopCount(-1);
    connect(giro_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        angolo_ = v.toReal();
        update();
    });
}

void IndicatoreAttivita::showEvent(QShowEvent*) { giro_->start(); }
void IndicatoreAttivita::hideEvent(QHideEvent*) { giro_->stop(); }

void IndicatoreAttivita::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal spessore = qMax(1.5, lato_ / 7.0);
    const QRectF r = QRectF(rect()).adjusted(spessore, spessore, -spessore, -spessore);
    p.setPen(QPen(QColor(255, 255, 255, 60), spessore));
    p.drawEllipse(r);
    p.setPen(QPen(QColor(255, 255, 255, 200), spessore, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, int(-angolo_ * 16), 100 * 16);
}
