#pragma once

#include <QObject>
#include <QString>

// One system-wide key combination: Control+Alt+N.
class TastoGlobale : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Takes the combination. False when another client already holds it;
    // nothing stays taken then. A desktop that answers later
    // (`rispondePiuTardi`) says true here and `accettata` or `rifiutata`
    // afterwards.
    virtual bool registra() = 0;
    virtual bool rispondePiuTardi() const { return false; }
    // Gives the combination back and removes every trace of it from the
    // desktop, also one an earlier run left there; harmless when not taken.
    virtual void rilascia() = 0;
    // Frees the key for other programs, keeping what the user chose for it
    // in the desktop's settings (the application quits or hands over).
    virtual void libera() { rilascia(); }
    // As `libera`, at quit: returns once the desktop has it, or after `ms`.
    virtual void liberaEAttendi(int ms) { libera(); }
    // The combination as the desktop has it set, in its own words: the
    // user may have chosen another there.
    virtual QString combinazione() const { return QStringLiteral("Ctrl+Alt+N"); }

signals:
    // The combination was pressed (once per press, never for key repeat).
    void premuto();
    // The desktop took the last registration, or refused it: the combination is taken.
    void accettata();
    void rifiutata();
    void combinazioneCambiata();
};
