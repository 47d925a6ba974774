#pragma once

#include "StatoDesktop.h"

#include <optional>

// Weston's desktop shell: a panel 32 pixels deep along one edge of each
// output, where weston.ini's [shell] panel-position puts it (the top
// unless told otherwise), and no work area published to X11 programs.
// Only the room that panel leaves is told here.
class DesktopWeston final : public StatoDesktop {
    Q_OBJECT
public:
    static constexpr int kProfonditaPannello = 32;

    // Whether the session's compositor offers Weston's desktop shell.
    static bool inEsecuzione();
    // Reads weston.ini from the configuration folders.
    explicit DesktopWeston(QObject* parent = nullptr);

    bool connesso() const override { return true; }
    QList<QRect> schermiInteri() const override { return {}; }
    QList<QRect> areeDiLavoro() const override;

    // The panel's edge a weston.ini's text gives; nothing for "none".
    static std::optional<Qt::Edge> latoPannello(const QByteArray& ini);
    // A screen (pixels) less a panel along `lato`.
    static QRect senzaPannello(const QRect& schermo, std::optional<Qt::Edge> lato);

private:
    std::optional<Qt::Edge> lato_;
};
