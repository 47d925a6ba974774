#pragma once

#include "Clock.h"

#include <QHash>
#include <QImage>
#include <QWidget>
#include <array>

// Four sound-wave bars (18 by 14) that rise and fall each at its own pace
// while `animate` is on, and stand still at full height while it is off.
// They move on the layers' shared beat, and a beat repaints only the bars
// whose pixels change. Never takes clicks.
class VistaOndeSonore : public QWidget {
    Q_OBJECT
public:
    struct Banda {
        double ampiezza;
        double velocita; // radians per second
        double fase;     // radians
        double opacita;
    };
    static constexpr std::array<Banda, 4> kBande{{{0.62, 4.9, 0.0, 0.62}, {1.0, 6.7, 1.9, 0.88},
                                                   {0.78, 5.6, 3.4, 0.76}, {0.52, 7.3, 0.9, 0.58}}};

    explicit VistaOndeSonore(QWidget* parent = nullptr, Clock& clock = Clock::system());

    void setAnimate(bool animate);
    // The card beneath it, as big as it is (device pixels), which the card
    // leaves out of its own painting: with it, it paints its rectangle
    // whole, so that nothing under it repaints with each frame.
    void setSfondo(const QImage& sfondo);
    bool animando() const { return animando_; }
    // Full height of bar i, and its vertical scale at this moment (1 when still).
    static double altezzaPiena(int i) { return kBande[i].ampiezza * 10 + 4; }
    double scala(int i) const;
    // Bar i in widget coordinates now.
    QRectF barra(int i) const;

    QSize sizeHint() const override { return {18, 14}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void aggiornaTimer();
    void passo();
    // Bar i as it is drawn now, in quarter device pixels at `dpr`.
    QRect barraDisegnata(int i, qreal dpr) const;

    Clock& clock_;
    QImage sfondo_;
    bool animando_ = false;
    double inizio_ = 0;
    TimerHandle timer_;
    std::array<QRect, 4> disegnate_{};
    // Bar i at a height (quarter device pixels), drawn once.
    const QImage& immagineBarra(int i, const QRect& quarti, const QColor& etichetta, qreal dpr);
    QHash<quint64, QImage> barre_;
    QColor coloreBarre_;
    qreal dprBarre_ = 0;
};
