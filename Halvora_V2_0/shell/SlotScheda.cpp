#include "SlotScheda.h"

#include "VistaAreaScheda.h"

#include <utility>

SlotScheda::SlotScheda(QWidget* parent) : QWidget(parent), marcatore_(new VistaAreaScheda(kDistacco, this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    marcatore_->lower();
    hide();
}

void SlotScheda::imposta(QWidget* scheda, QRectF area, TransizioneScheda::Posa ingresso, CostantiMolla molla)
{
    completaTransizioni();
    QPixmap pronta;
    if (scheda && scheda == pronta_)
        pronta = std::exchange(immaginePronta_, QPixmap());
    else if (pronta_)
        pronta_->deleteLater();
    pronta_ = nullptr;
    immaginePronta_ = QPixmap();
    // Off screen (renders, a panel not yet shown) cards change at once.
    const bool animata = parentWidget() && parentWidget()->isVisible();
    if (scheda_ && scheda_ != scheda) {
        if (animata && isVisible()) {
            uscita_ = new TransizioneScheda(scheda_->grab(), QRect(mapToParent(scheda_->pos()), scheda_->size()),
                                            TransizioneScheda::kPiena, TransizioneScheda::kUscita, molla,
                                            parentWidget());
            uscita_->setSotto(sopra_);
            connect(uscita_, &TransizioneScheda::finita, this, [this] { uscita_ = nullptr; });
            uscita_->avvia();
        }
        scheda_->hide();
        if (!riponi_ || !riponi_(scheda_))
            scheda_->deleteLater();
    }
    scheda_ = scheda;
    area_ = area;
    if (scheda_) {
        scheda_->setParent(this);
        disponi();
        if (animata) {
            scheda_->hide(); // else showing the slot would show it at once
            scheda_->ensurePolished();
            entrata_ = new TransizioneScheda(pronta.isNull() ? scheda_->grab() : pronta,
                                             QRect(mapToParent(scheda_->pos()), scheda_->size()), ingresso,
                                             TransizioneScheda::kPiena, molla, parentWidget());
            entrata_->setSotto(sopra_);
            connect(entrata_, &TransizioneScheda::finita, this, [this] {
                entrata_ = nullptr;
                if (scheda_)
                    scheda_->show();
            });
            entrata_->avvia();
        } else {
            scheda_->show();
        }
    }
    disponi();
    setVisible(scheda_ != nullptr);
}

void SlotScheda::prepara(QWidget* scheda)
{
    if (pronta_ && pronta_ != scheda)
        pronta_->deleteLater();
    pronta_ = scheda;
    immaginePronta_ = QPixmap();
    if (!scheda)
        return;
    // Under the slot, as it will be drawn there.
    scheda->setParent(this);
    scheda->hide();
    scheda->ensurePolished();
    immaginePronta_ = scheda->grab();
}

void SlotScheda::aggiornaArea(QRectF area)
{
    area_ = area;
    disponi();
}

void SlotScheda::completaTransizioni()
{
    if (entrata_)
        entrata_->completa();
    if (uscita_)
        uscita_->completa();
}

QList<TransizioneScheda*> SlotScheda::transizioni() const
{
    QList<TransizioneScheda*> l;
    for (TransizioneScheda* t : {entrata_.data(), uscita_.data()})
        if (t)
            l << t;
    return l;
}

bool SlotScheda::inTransizione() const
{
    return entrata_ || uscita_;
}

void SlotScheda::posiziona(double centroX, double sotto)
{
    centroX_ = centroX;
    sotto_ = sotto;
    disponi();
}

QRectF SlotScheda::rettangoloCarta() const
{
    if (!scheda_)
        return {};
    return QRectF(centroX_ - area_.width() / 2, sotto_ + kDistacco, area_.width(), area_.height());
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
