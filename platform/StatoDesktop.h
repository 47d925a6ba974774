#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <optional>

// What the desktop tells of its windows and workspaces: which windows in
// front are full screen, which application has the focus, where its panels
// leave room for windows, and when the workspace in front changes.
// Rectangles are in the X server's pixels (XWayland's screen shares the
// compositor's layout).
class StatoDesktop : public QObject {
    Q_OBJECT
public:
    // The window with the keyboard focus, as the desktop names it.
    struct AppAttiva {
        QString id;     // a native window's app id, an X11 window's class
        qint64 pid = 0; // 0 when unknown
    };

    using QObject::QObject;

    // The desktop answers at all; "nothing" everywhere when it does not.
    virtual bool connesso() const = 0;
    // The screens a full-screen window covers from the front of its workspace.
    virtual QList<QRect> schermiInteri() const = 0;
    // Whether a full-screen window is in front on the screen at `punto`.
    bool schermoInteroSu(const QPoint& punto) const
    {
        for (const QRect& r : schermiInteri())
            if (r.contains(punto))
                return true;
        return false;
    }
    // The application with the focus; nothing when the desktop does not tell.
    virtual std::optional<AppAttiva> appAttiva() const { return std::nullopt; }
    // The area each screen leaves to windows (below a top panel, say), one
    // rectangle a screen, or one for all; empty when the desktop tells none.
    virtual QList<QRect> areeDiLavoro() const { return {}; }

signals:
    // The answer of `schermiInteri` may have changed.
    void schermoInteroCambiato();
    // Another workspace came to the front.
    void desktopCambiato();
    // Another window took the focus.
    void appAttivaCambiata();
    void areeDiLavoroCambiate();
};
