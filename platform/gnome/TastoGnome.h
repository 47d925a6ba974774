#pragma once

#include "TastoComando.h"

// Control+Alt+N as one of GNOME's custom keyboard shortcuts (the
// settings daemon's media-keys list, written with `gsettings`), unless one
// of GNOME's own shortcuts or another custom one uses it already. A
// combination the user has since set for ours in GNOME's settings is kept.
// `rilascia` removes our entry.
class TastoGnome final : public TastoComando {
    Q_OBJECT
public:
    explicit TastoGnome(QStringList comando, QObject* parent = nullptr);
    ~TastoGnome() override { aspetta(); }

    static inline const QString kPercorso =
        QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/halvora/");

    // The strings quoted in a value as `gsettings` prints it.
    static QStringList stringhe(const QString& valore);
    // Whether a GNOME accelerator ("<Primary><Alt>n") is Control+Alt+N.
    static bool eNostra(const QString& acceleratore);
    // An accelerator in the words of the settings page ("Ctrl+Alt+N").
    static QString descrivi(const QString& acceleratore);

protected:
    std::optional<QString> prendi() override;
    void lascia() override;
};
