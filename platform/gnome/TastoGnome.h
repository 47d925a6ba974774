#pragma once

#include "TastoComando.h"

// Control+Alt+N as one of GNOME's custom keyboard shortcuts (the settings
// daemon's media-keys list, written in place through GIO's settings, so no
// process is started), unless one of GNOME's own shortcuts or another
// custom one uses it already. The entry is in the list only while the
// application runs: `libera` takes it out, keeping a combination the user
// has set for ours in GNOME's settings for the next run; `rilascia` removes
// every trace of it.
class TastoGnome final : public TastoComando {
    Q_OBJECT
public:
    explicit TastoGnome(QStringList comando, QObject* parent = nullptr);
    ~TastoGnome() override { aspetta(); }

    static inline const QString kPercorso =
        QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/halvora/");

    // Whether a GNOME accelerator ("<Primary><Alt>n") is Control+Alt+N.
    static bool eNostra(const QString& acceleratore);
    // An accelerator in the words of the settings page ("Ctrl+Alt+N").
    static QString descrivi(const QString& acceleratore);

protected:
    std::optional<QString> prendi() override;
    void lascia(bool perSempre) override;
};
