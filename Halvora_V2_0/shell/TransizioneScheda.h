#pragma once

#include "Molla.h"

#include <QPainterPath>
#include <QPixmap>
#include <QWidget>
#include <functional>

// Scale about the top centre, vertical offset in points, opacity.
struct PosaScheda {
    double scala = 1;
    double scostamentoY = 0;
    double opacita = 1;
};

// A picture of a card coming or going under the notch: it scales about its
// top centre, moves and fades between two poses on a spring, then removes
// itself. It steps on the springs' shared beat and repaints only when what
// it shows moves by a pixel or fades by a step. The real card stays hidden
// meanwhile, so a transition never takes a click.
class TransizioneScheda : public QWidget {
    Q_OBJECT
public:
    using Posa = PosaScheda;
    static constexpr Posa kPiena{1, 0, 1};
    // Cards enter from 0.84 and 10 points higher; the video offer from 0.72 and 16.
    static constexpr Posa kIngresso{0.84, -10, 0};
    static constexpr Posa kIngressoProposta{0.72, -16, 0};
    static constexpr Posa kUscita{0.92, 0, 0};
    // Cards come and go on this spring; those the rotation brings, on its own.
    static constexpr CostantiMolla kMolla{0.42, 0.68};
    static constexpr CostantiMolla kMollaRotazione{0.45, 0.75};

    // `dove` is where the card lies, in the parent's coordinates.
    TransizioneScheda(const QPixmap& immagine, QRect dove, Posa da, Posa a, CostantiMolla molla, QWidget* parent);

    // What lies over the card, in the parent's coordinates (the notch
    // shape): the picture is drawn only outside it, as if beneath it.
    void setSotto(std::function<QPainterPath()> sopra) { sopra_ = std::move(sopra); }
    // Where it is drawn now, in the parent's coordinates, and how opaque.
    QRectF rettangoloDisegnato() const;
    double opacita() const;
    void avvia();
    // 0 at the first pose, 1 at the second (a spring may pass it a little).
    void setAvanzamento(double t);
    double avanzamento() const { return t_; }
    // Jumps to the end.
    void completa();

signals:
    void finita();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    // What a frame shows, in device pixels and steps of opacity.
    QRect quadro() const;

    QPixmap immagine_;
    std::function<QPainterPath()> sopra_;
    Posa da_, a_;
    CostantiMolla parametri_;
    double t_ = 0;
    Molla molla_;
    AnimatoreMolle animatore_;
    QRect disegnato_; // what the last update asked for
    int alfaDisegnato_ = -1;
    bool finita_ = false;
};
