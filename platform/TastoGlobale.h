#pragma once

#include <QObject>
#include <QString>

// One system-wide key combination: Control+Alt+N.
class TastoGlobale : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Takes the combination. False when another client already holds it;
    // nothing stays taken then. A desktop that answers later says true here
    // and `rifiutata` afterwards.
    virtual bool registra() = 0;
    // Gives the combination back; harmless when not taken.
    virtual void rilascia() = 0;
    // The combination as the desktop has it set, in its own words: the
    // user may have chosen another there.
    virtual QString combinazione() const { return QStringLiteral("Ctrl+Alt+N"); }

signals:
    // The combination was pressed (once per press, never for key repeat).
    void premuto();
    // The desktop refused the last registration: the combination is taken.
    void rifiutata();
    void combinazioneCambiata();
};
