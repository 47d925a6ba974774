#pragma once

#include <QList>
#include <QObject>
#include <QRectF>
#include <optional>

// One screen in global coordinates (Qt's: origin top-left, y down).
struct ScreenInfo {
    QRectF frame;        // the whole screen
    QRectF visibleFrame; // without the top panel and docks
    // The areas left and right of a camera notch; a screen has a notch only
    // when both exist. Linux screens never report them.
    std::optional<QRectF> areaSuperioreSinistra;
    std::optional<QRectF> areaSuperioreDestra;
    double insettoSuperiore = 0; // top safe-area inset
    QString nome;

    // Height of the top panel (the menu bar on the original platform).
    double altezzaBarraMenu() const { return std::max(0.0, visibleFrame.top() - frame.top()); }
    bool haTacca() const { return areaSuperioreSinistra && areaSuperioreDestra; }
};

// The screens of the desktop, first the one carrying the top panel.
class Screens : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual QList<ScreenInfo> screens() const = 0;
    // The first screen, or nothing when there is no screen at all.
    std::optional<ScreenInfo> primo() const
    {
        const auto lista = screens();
        return lista.isEmpty() ? std::nullopt : std::optional<ScreenInfo>(lista.first());
    }

signals:
    // Screens added, removed, moved or resized.
    void changed();
};
