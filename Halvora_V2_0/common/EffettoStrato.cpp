#include "EffettoStrato.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

EffettoStrato::EffettoStrato(QWidget* widget) : QGraphicsEffect(widget), widget_(widget)
{
    qApp->installEventFilter(this);
}

bool EffettoStrato::eventFilter(QObject* o, QEvent* e)
{
    switch (e->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest:
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        if (valida_ && widget_ && o->isWidgetType()
            && (o == widget_ || widget_->isAncestorOf(static_cast<QWidget*>(o))))
            invalida();
        break;
    default:
        break;
    }
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
    if (ritaglio_) {
        p->setRenderHint(QPainter::Antialiasing);
        p->setClipPath(*ritaglio_, Qt::IntersectClip);
    }
    p->setOpacity(p->opacity() * opacita_);
    p->drawImage(QPointF(0, 0), immagine_);
    p->restore();
}
