#pragma once

#include "StatoDesktop.h"

#include <QDBusConnection>
#include <QTemporaryFile>

// Full screen and workspaces as KWin tells them: a small KWin script,
// loaded and run over KWin's scripting interface, follows the active
// window, its full-screen state and the current desktop, and calls back
// here on the session bus. Native windows and those of XWayland alike.
class DesktopKWin final : public StatoDesktop {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.halvora.StatoDesktop")
public:
    explicit DesktopKWin(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~DesktopKWin() override;

    bool connesso() const override { return connesso_; }
    bool schermoInteroAttivo() const override { return schermoIntero_; }

    // The script that KWin runs, calling back the bus name `servizio`.
    static QString script(const QString& servizio);

    static inline const QString kPercorso = QStringLiteral("/StatoDesktop");
    static inline const QString kNomeScript = QStringLiteral("halvora-stato");

public slots:
    // Called by the script.
    Q_SCRIPTABLE void finestraInPrimoPiano(bool schermoIntero);
    Q_SCRIPTABLE void spazioCambiato();

private:
    void carica();

    QDBusConnection bus_;
    QTemporaryFile file_;
    bool connesso_ = false;
    bool schermoIntero_ = false;
};
