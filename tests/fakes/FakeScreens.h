#pragma once

#include "Screens.h"

// Screens described by the test; can describe a notched screen.
class FakeScreens final : public Screens {
    Q_OBJECT
public:
    using Screens::Screens;
    QList<ScreenInfo> screens() const override { return lista; }
    void imposta(QList<ScreenInfo> nuove)
    {
        lista = std::move(nuove);
        emit changed();
    }

    // A screen without a notch whose top panel is `barra` high.
    static ScreenInfo senzaTacca(QRectF frame, double barra)
    {
        ScreenInfo s;
        s.frame = frame;
        s.visibleFrame = frame.adjusted(0, barra, 0, 0);
        return s;
    }
    // A screen with a notch between two top areas each `lato` wide.
    static ScreenInfo conTacca(QRectF frame, double lato, double altezzaAree, double inset)
    {
        ScreenInfo s = senzaTacca(frame, altezzaAree);
        s.areaSuperioreSinistra = QRectF(frame.left(), frame.top(), lato, altezzaAree);
        s.areaSuperioreDestra = QRectF(frame.right() - lato, frame.top(), lato, altezzaAree);
        s.insettoSuperiore = inset;
        return s;
    }

    QList<ScreenInfo> lista;
};
