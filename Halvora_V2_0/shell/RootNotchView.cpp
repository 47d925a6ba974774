#include "RootNotchView.h"

#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "FormaTacca.h"
#include "GeometriaPannello.h"
#include "NotchStateManager.h"
#include "SlotScheda.h"

#include <QPainter>

RootNotchView::RootNotchView(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas, QWidget* parent)
    : QWidget(parent), stato_(stato), attivita_(attivita), slot_(new SlotScheda(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(canvas);
    const QSizeF iniziale = dimensioneTacca();
    larghezza_.salta(iniziale.width());
    altezza_.salta(iniziale.height());
    animatore_.segui(&larghezza_);
    animatore_.segui(&altezza_);
    connect(&animatore_, &AnimatoreMolle::passo, this, [this] {
        disponi();
        update();
    });
    connect(&stato_, &NotchStateManager::cambiato, this, [this] {
        aggiornaTacca();
        aggiornaSlot();
    });
    connect(&attivita_, &AttivitaManager::correnteChanged, this, &RootNotchView::aggiornaSlot);
    aggiornaSlot();
    disponi();
}

QSizeF RootNotchView::dimensioneTacca() const
{
    return stato_.currentState() == NotchState::expanded ? stato_.expandedSize() : stato_.dimensioneCompatta();
}

QRectF RootNotchView::rettangoloTacca() const
{
    return QRectF((width() - larghezza_.valore()) / 2, 0, larghezza_.valore(), altezza_.valore());
}

void RootNotchView::aggiornaTacca()
{
    const QSizeF d = dimensioneTacca();
    if (d.width() == larghezza_.obiettivo() && d.height() == altezza_.obiettivo())
        return;
    larghezza_.vaiA(d.width(), 0.4, 0.7);
    altezza_.vaiA(d.height(), 0.4, 0.7);
    animatore_.avvia();
}

void RootNotchView::completaAnimazioni()
{
    animatore_.completa();
}

void RootNotchView::aggiornaSlot()
{
    const bool chiusa = stato_.currentState() == NotchState::compact;
    const auto& corrente = attivita_.corrente();
    auto* attuale = qobject_cast<AttivitaCardView*>(slot_->scheda());
    if (chiusa && corrente) {
        if (!attuale || !(attuale->attivita() == *corrente)) {
            auto* card = new AttivitaCardView(*corrente);
            slot_->imposta(card, card->rettangoloScheda());
        }
    } else if (slot_->scheda()) {
        slot_->imposta(nullptr, {});
    }
    disponi();
}

void RootNotchView::disponi()
{
    slot_->posiziona(width() / 2.0, stato_.dimensioneCompatta().height());
}

void RootNotchView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF tacca = rettangoloTacca();
    const bool chiusa = stato_.currentState() == NotchState::compact;
    const bool pieno = chiusa && stato_.haTaccaFisica();
    const double altezza = chiusa && stato_.linguettaAttiva() ? GeometriaPannello::kAltezzaLinguetta : tacca.height();
    FormaTacca::disegna(p, tacca, altezza, pieno);
    if (chiusa)
        FormaTacca::disegnaSegno(p, tacca, !stato_.haTaccaFisica() && !stato_.linguettaAttiva() ? 0.22 : 0);
}
