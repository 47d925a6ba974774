#pragma once

#include "TransizioneScheda.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class VistaAreaScheda;

// The one card hanging under the closed notch, with the marker that lets
// clicks reach it. A card widget may be larger than its card (room for its
// shadow): `area` is the card inside the widget.
class SlotScheda : public QWidget {
    Q_OBJECT
public:
    static constexpr double kDistacco = 8;

    explicit SlotScheda(QWidget* parent = nullptr);

    // Takes ownership of `scheda` (nullptr: the slot is empty) and replaces
    // the card shown before. While the slot is on screen the old card leaves
    // and the new one enters with a transition on `molla`; `ingresso` is the
    // new card's starting pose.
    void imposta(QWidget* scheda, QRectF area, TransizioneScheda::Posa ingresso = TransizioneScheda::kIngresso,
                 CostantiMolla molla = TransizioneScheda::kMolla);
    // Who may keep a card that leaves, to bring it back later without
    // making it again: `riponi` gets it (hidden, still the slot's child) and
    // answers whether it keeps it; a card not kept is deleted.
    void setRiponi(std::function<bool(QWidget*)> riponi) { riponi_ = std::move(riponi); }
    // Takes `scheda` ahead of `imposta` and makes now the picture it enters
    // with, so that a card brought in while the notch moves costs none of
    // its frames. A card made ready and then not set is dropped (nullptr:
    // dropped now).
    void prepara(QWidget* scheda);
    // The card shown changed size: `area` is its card now.
    void aggiornaArea(QRectF area);
    // What lies over the cards (the notch shape), in the parent's
    // coordinates: cards coming and going are drawn only outside it.
    void setSotto(std::function<QPainterPath()> sopra) { sopra_ = std::move(sopra); }
    // The cards coming and going now.
    QList<TransizioneScheda*> transizioni() const;
    // Ends the running transitions at once.
    void completaTransizioni();
    bool inTransizione() const;
    QWidget* scheda() const { return scheda_; }
    VistaAreaScheda* marcatore() const { return marcatore_; }
    // Hangs the card `kDistacco` under `sotto`, centred on `centroX` (parent coordinates).
    void posiziona(double centroX, double sotto);
    // Where the card lies at rest, parent coordinates; empty without one.
    QRectF rettangoloCarta() const;

private:
    void disponi();

    QPointer<QWidget> scheda_;
    QPointer<QWidget> pronta_;
    QPixmap immaginePronta_;
    QPointer<TransizioneScheda> entrata_, uscita_;
    std::function<QPainterPath()> sopra_;
    std::function<bool(QWidget*)> riponi_;
    QRectF area_;
    VistaAreaScheda* marcatore_;
    double centroX_ = 0, sotto_ = 0;
};
