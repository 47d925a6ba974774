#pragma once

#include "TastoComando.h"

// Control+Alt+N bound in sway through its IPC (`bindsym … exec`), unless
// the default mode of sway's configuration binds the combination already.
// sway's binding lasts as long as sway runs, not as long as the process that
// made it: a note in the runtime folder names the sway that holds one, so a
// later run removes what a run that died left there.
class TastoSway final : public TastoComando {
    Q_OBJECT
public:
    // `nota`: the file that remembers the binding; by default in the user's runtime folder.
    TastoSway(QString socket, QStringList comando, QString nota = {}, QObject* parent = nullptr);
    ~TastoSway() override { aspetta(); }

    // Whether a configuration's default mode binds Control+Alt+N (with its
    // variables, blocks and modifier names as sway reads them).
    static bool combinazioneLegata(const QString& configurazione);
    // The sway command that binds the combination to `comando`; empty when
    // the command cannot be written for sway and the shell.
    static QString comandoLegame(const QStringList& comando);

protected:
    std::optional<QString> prendi() override;
    void lascia(bool perSempre) override;

private:
    const QString socket_;
    const QString nota_;
    bool legato_ = false; // worker only
};
