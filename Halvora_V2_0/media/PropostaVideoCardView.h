#pragma once

#include "VideoNotchManager.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>

class QAbstractButton;

// The card under the closed notch offering to continue a browser's video
// in the notch: an icon, "Guarda nella tacca" over the video's title, and
// two round buttons, watch (`onSi`) and not now (`onNo`). It decides
// nothing: the root view hands in the offer, the actions and the colour,
// and takes the card away when the offer ends. The widget is the 290 by 46
// card grown by the room its shadow takes.
class PropostaVideoCardView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{290, 46};
    static constexpr QMargins kMargini{30, 22, 30, 30};

    PropostaVideoCardView(VideoNotchManager::Proposta proposta, std::function<void()> onSi,
                          std::function<void()> onNo, QColor colore, QWidget* parent = nullptr);

    // The colour the root view gives it.
    static QColor coloreProposta() { return QColor::fromRgbF(0.86f, 0.12f, 0.12f, 1.0f); }

    const VideoNotchManager::Proposta& proposta() const { return proposta_; }
    QRectF rettangoloScheda() const;
    QAbstractButton* pulsanteSi() const { return si_; }
    QAbstractButton* pulsanteNo() const { return no_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    VideoNotchManager::Proposta proposta_;
    QColor colore_;
    QAbstractButton* si_;
    QAbstractButton* no_;
    QImage ombra_;
};
