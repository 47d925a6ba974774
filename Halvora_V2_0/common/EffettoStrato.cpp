#include "EffettoStrato.h"

#include "DisegnoInBande.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

EffettoStrato::EffettoStrato(QWidget* widget) : QGraphicsEffect(widget), widget_(widget)
{
    qApp->installEventFilter(this);
}

bool dentroDi(const QWidget* radice, const QObject* o)
{
    return radice && o->isWidgetType() && (o == radice || radice->isAncestorOf(static_cast<const QWidget*>(o)));
}

bool cambiaAspettoDi(const QWidget* radice, const QObject* o, const QEvent* e)
{
    switch (e->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        return dentroDi(radice, o);
    default:
        return false;
    }
}

bool EffettoStrato::eventFilter(QObject* o, QEvent* e)
{
    if (valida_ && cambiaAspettoDi(widget_, o, e))
        invalida();
    return false;
}

void EffettoStrato::setOpacita(double opacita)
{
    if (opacita == opacita_)
        return;
    opacita_ = opacita;
    update();
}

void EffettoStrato::setRitaglio(const std::optional<QPainterPath>& ritaglio)
{
    if (ritaglio == ritaglio_)
        return;
    ritaglio_ = ritaglio;
    update();
}

void EffettoStrato::invalida()
{
    valida_ = false;
    update();
}

void EffettoStrato::prepara()
{
    if (valida_ || rendendo_ || !widget_)
        return;
    const qreal dpr = widget_->devicePixelRatioF();
    const QSize lato = widget_->size() * dpr;
    if (immagine_.size() != lato || immagine_.devicePixelRatio() != dpr) {
        immagine_ = QImage(lato, QImage::Format_ARGB32_Premultiplied);
        immagine_.setDevicePixelRatio(dpr);
    }
    immagine_.fill(Qt::transparent);
    rendendo_ = true;
    widget_->render(&immagine_, QPoint(), QRegion(), QWidget::DrawChildren);
    rendendo_ = false;
    valida_ = true;
}

void EffettoStrato::draw(QPainter* p)
{
    // Making the picture paints the widget through this very effect.
    if (rendendo_ || !widget_) {
        drawSource(p);
        return;
    }
    if (opacita_ <= 0 || (ritaglio_ && ritaglio_->isEmpty()))
        return;
    prepara();
    p->save();
    p->setOpacity(p->opacity() * opacita_);
    if (ritaglio_) {
        // Cut by a curved outline, in bands: a frame of a notch in motion wakes no pooled thread.
        p->setRenderHint(QPainter::Antialiasing);
        p->setClipPath(*ritaglio_, Qt::IntersectClip);
        disegnaInBande(*p, ritaglio_->boundingRect().intersected(QRectF(QPointF(0, 0), immagine_.deviceIndependentSize())),
                       16, [&] { p->drawImage(QPointF(0, 0), immagine_); });
    } else {
        copiaImmagine(*p, QPointF(0, 0), immagine_);
    }
    p->restore();
}
