#pragma once

#include "TastoGlobale.h"

#include <QStringList>
#include <QThreadPool>
#include <optional>

// Control+Alt+N bound by the desktop to a command line: when pressed, the
// desktop runs the command, which hands the press to the running copy. The
// desktop is asked on a worker of its own, one request after the other, so
// the GUI thread never waits on it; `registra` answers true at once and the
// desktop's answer comes as `accettata` or `rifiutata`.
class TastoComando : public TastoGlobale {
    Q_OBJECT
public:
    // `comando`: the program and its arguments that the desktop runs.
    explicit TastoComando(QStringList comando, QObject* parent = nullptr);
    ~TastoComando() override;

    bool registra() final;
    bool rispondePiuTardi() const final { return true; }
    void rilascia() final;
    void libera() final;
    void liberaEAttendi(int ms) final;
    QString combinazione() const final { return combinazione_; }

    // Waits until the desktop has been told everything asked so far. Each
    // backend calls it in its destructor, while what the worker uses is there.
    void aspetta() { lavoro_.waitForDone(); }

protected:
    // On the worker: binds the combination; the combination as the desktop
    // has it, or none when it is taken (or cannot be bound).
    virtual std::optional<QString> prendi() = 0;
    // On the worker: removes what `prendi` bound, here or in an earlier run
    // that died; `perSempre` also what the user chose for it.
    virtual void lascia(bool perSempre) = 0;

    const QStringList comando_;

private:
    QString combinazione_ = TastoGlobale::combinazione();
    QThreadPool lavoro_;
};
