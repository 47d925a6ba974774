#pragma once

#include "StatoDesktop.h"

#include <QDBusConnection>
#include <QTemporaryFile>

// Full screen, the active application and workspaces as KWin tells them: a
// small KWin script, loaded and run over KWin's scripting interface,
// follows the windows, their full-screen state and the current desktop,
// and calls back here on the session bus. Native windows and those of
// XWayland alike.
class DesktopKWin final : public StatoDesktop {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.halvora.StatoDesktop")
public:
    explicit DesktopKWin(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~DesktopKWin() override;

    bool connesso() const override { return connesso_; }
    QList<QRect> schermiInteri() const override { return schermiInteri_; }
    std::optional<AppAttiva> appAttiva() const override { return app_; }

    // The scale KWin gives XWayland's screen where X11 programs are set to
    // scale themselves (kwinrc's [Xwayland] Scale), 1 elsewhere: the
    // script's positions are KWin's own points, the X server's that many
    // pixels each.
    static double scalaXwayland();

    // The script that KWin runs, calling back the bus name `servizio`.
    static QString script(const QString& servizio);

    static inline const QString kPercorso = QStringLiteral("/StatoDesktop");
    static inline const QString kNomeScript = QStringLiteral("halvora-stato");

public slots:
    // Called by the script, with texts only (its numbers reach the bus as
    // doubles): the full-screen windows in front ("x,y,w,h" joined by ";"),
    // and the active window's application and pid (empty and "0" with none).
    Q_SCRIPTABLE void finestre(const QString& schermiInteri, const QString& app, const QString& pid);
    Q_SCRIPTABLE void spazioCambiato();

private:
    void carica();

    QDBusConnection bus_;
    QTemporaryFile file_;
    bool connesso_ = false;
    const double scala_;
    QList<QRect> schermiInteri_;
    std::optional<AppAttiva> app_;
};
