#pragma once

#include "Screens.h"

class QScreen;
class StatoDesktop;

// Screens as Qt reports them, primary first. Each screen's visible frame is
// the work area the desktops tell for it (the first of `desktop` that tells
// one), else Qt's: Qt drops a work area that spans several screens, the
// union a desktop publishes as _NET_WORKAREA.
class QtScreens final : public Screens {
    Q_OBJECT
public:
    explicit QtScreens(QList<StatoDesktop*> desktop = {}, QObject* parent = nullptr);
    QList<ScreenInfo> screens() const override;

    // A screen's rectangle in the X server's pixels and back: Qt keeps each
    // screen's origin in pixels and scales only what lies beyond it.
    static QRect inPixel(const QScreen& schermo, const QRectF& logico);
    static QRectF daPixel(const QScreen& schermo, const QRect& pixel);
    // The work area of the screen whose pixels are `schermo`, among `aree`
    // (one a screen, or one for all); nothing when none fits it.
    static std::optional<QRect> areaDelloSchermo(const QRect& schermo, const QList<QRect>& aree);

private:
    void osserva(QScreen* schermo);

    QList<StatoDesktop*> desktop_;
};
