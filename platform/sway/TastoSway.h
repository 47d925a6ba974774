#pragma once

#include "TastoComando.h"

// Control+Alt+N bound in sway through its IPC (`bindsym … exec`), unless
// the default mode of sway's configuration binds the combination already.
// sway's binding lasts as long as sway runs; `rilascia` removes it.
class TastoSway final : public TastoComando {
    Q_OBJECT
public:
    TastoSway(QString socket, QStringList comando, QObject* parent = nullptr);
    ~TastoSway() override { aspetta(); }

    // Whether a configuration's default mode binds Control+Alt+N (with its
    // variables, blocks and modifier names as sway reads them).
    static bool combinazioneLegata(const QString& configurazione);
    // The sway command that binds the combination to `comando`; empty when
    // the command cannot be written for sway and the shell.
    static QString comandoLegame(const QStringList& comando);

protected:
    std::optional<QString> prendi() override;
    void lascia() override;

private:
    const QString socket_;
    bool legato_ = false; // worker only
};
