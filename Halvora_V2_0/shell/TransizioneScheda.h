#pragma once

#include <QPainterPath>
#include <QPixmap>
#include <QWidget>
#include <functional>

class QVariantAnimation;

// Scale about the top centre, vertical offset in points, opacity.
struct PosaScheda {
    double scala = 1;
    double scostamentoY = 0;
    double opacita = 1;
};

// A picture of a card coming or going under the notch: it scales about its
// top centre, moves and fades between two poses, then removes itself. The
// real card stays hidden meanwhile, so a transition never takes a click.
class TransizioneScheda : public QWidget {
    Q_OBJECT
public:
    using Posa = PosaScheda;
    static constexpr Posa kPiena{1, 0, 1};
    // Cards enter from 0.84 and 10 points higher; the video offer from 0.72 and 16.
    static constexpr Posa kIngresso{0.84, -10, 0};
    static constexpr Posa kIngressoProposta{0.72, -16, 0};
    static constexpr Posa kUscita{0.92, 0, 0};
    static constexpr int kDurataIngressoMs = 350;
    static constexpr int kDurataUscitaMs = 250;

    // `dove` is where the card lies, in the parent's coordinates.
    TransizioneScheda(const QPixmap& immagine, QRect dove, Posa da, Posa a, int durataMs, QWidget* parent);

    // What lies over the card, in the parent's coordinates (the notch
    // shape): the picture is drawn only outside it, as if beneath it.
    void setSotto(std::function<QPainterPath()> sopra) { sopra_ = std::move(sopra); }
    // Where it is drawn now, in the parent's coordinates, and how opaque.
    QRectF rettangoloDisegnato() const;
    double opacita() const;
    void avvia();
    // 0 at the first pose, 1 at the second.
    void setAvanzamento(double t);
    double avanzamento() const { return t_; }
    // Jumps to the end.
    void completa();

signals:
    void finita();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap immagine_;
    std::function<QPainterPath()> sopra_;
    Posa da_, a_;
    double t_ = 0;
    QVariantAnimation* animazione_;
    bool finita_ = false;
};
