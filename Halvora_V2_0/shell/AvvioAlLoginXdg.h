#pragma once

#include "AvvioAlLogin.h"

// Launch at login as an XDG autostart entry: a desktop file in the user's
// autostart folder that starts the running executable.
class AvvioAlLoginXdg final : public AvvioAlLogin {
public:
    // `cartella` is the autostart folder, `eseguibile` the program to start.
    AvvioAlLoginXdg(QString cartella, QString eseguibile);
    // $XDG_CONFIG_HOME/autostart (~/.config/autostart) and `eseguibile`.
    static AvvioAlLoginXdg perUtente(const QString& eseguibile);

    bool registrato() const override;
    std::optional<QString> registra() override;
    std::optional<QString> annullaRegistrazione() override;

    QString percorsoVoce() const;
    // The entry's Exec= value for a program path, quoted as desktop
    // entries require.
    static QString comandoExec(const QString& eseguibile);

private:
    QString cartella_;
    QString eseguibile_;
};
