#include "SlotScheda.h"

#include "VistaAreaScheda.h"

SlotScheda::SlotScheda(QWidget* parent) : QWidget(parent), marcatore_(new VistaAreaScheda(kDistacco, this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    marcatore_->lower();
    hide();
}

void SlotScheda::imposta(QWidget* scheda, QRectF area)
{
    if (scheda_ && scheda_ != scheda)
        scheda_->deleteLater();
    scheda_ = scheda;
    area_ = area;
    if (scheda_) {
        scheda_->setParent(this);
        scheda_->show();
    }
    disponi();
    setVisible(scheda_ != nullptr);
}

void SlotScheda::posiziona(double centroX, double sotto)
{
    centroX_ = centroX;
    sotto_ = sotto;
    disponi();
}

void SlotScheda::disponi()
{
    if (!scheda_)
        return;
    // The slot is the card widget plus the gap above the card; the marker
    // covers gap and card, and gives up the gap again through its top offset.
    const QSize dim = scheda_->size();
    const double sopra = std::max(0.0, kDistacco - area_.top());
    const QRectF geometria(centroX_ - area_.center().x(), sotto_ + kDistacco - area_.top() - sopra, dim.width(),
                           dim.height() + sopra);
    setGeometry(geometria.toAlignedRect());
    scheda_->move(0, qRound(sopra));
    marcatore_->setGeometry(QRectF(area_.left(), sopra + area_.top() - kDistacco, area_.width(),
                                   area_.height() + kDistacco)
                                .toAlignedRect());
}
