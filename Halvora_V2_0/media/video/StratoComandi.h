#pragma once

#include "SovrapposizioneVideo.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>

// The card's layers drawn over the page inside the helper's window. It
// takes the pointer only over its controls while the video is open (the
// page keeps the rest) and over everything while it is not.
class StratoComandi : public QWidget {
    Q_OBJECT
public:
    struct Azioni {
        std::function<void(SovrapposizioneVideo::Zona)> premuto;
        // The handle: 0 start, 1 move, 2 end, with the screen point.
        std::function<void(int, QPointF)> maniglia;
    };

    StratoComandi(Azioni azioni, QWidget* parent);

    void imposta(const SovrapposizioneVideo::Vista& v);
    // The pointer entered or left the card.
    void setSopra(bool sopra);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;

private:
    void aggiorna();
    void anima(QVariantAnimation& a, double verso);

    Azioni azioni_;
    SovrapposizioneVideo::Vista vista_;
    SovrapposizioneVideo::Opacita opacita_;
    QVariantAnimation comandi_, maniglia_;
    bool sopra_ = false;
    bool trascina_ = false;
    QTimer giro_;
    QElapsedTimer orologio_;
};
