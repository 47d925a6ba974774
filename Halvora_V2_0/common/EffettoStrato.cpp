#include "EffettoStrato.h"

#include <QPainter>

void EffettoStrato::setOpacita(double opacita)
{
    if (opacita == opacita_)
        return;
    opacita_ = opacita;
    update();
}

void EffettoStrato::setRitaglio(const std::optional<QRect>& ritaglio)
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

void EffettoStrato::draw(QPainter* p)
{
    if (opacita_ <= 0 || (ritaglio_ && ritaglio_->isEmpty()))
        return;
    if (!valida_) {
        immagine_ = sourcePixmap(Qt::LogicalCoordinates, &origine_, QGraphicsEffect::NoPad);
        valida_ = true;
    }
    p->save();
    // A whole-pixel rectangle keeps the copy a plain one.
    if (ritaglio_)
        p->setClipRect(*ritaglio_, Qt::IntersectClip);
    p->setOpacity(p->opacity() * opacita_);
    p->drawPixmap(origine_, immagine_);
    p->restore();
}
