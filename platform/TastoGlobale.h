#pragma once

#include <QObject>

// One system-wide key combination: Control+Alt+N.
class TastoGlobale : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Takes the combination. False when another client already holds it;
    // nothing stays taken then.
    virtual bool registra() = 0;
    // Gives the combination back; harmless when not taken.
    virtual void rilascia() = 0;

signals:
    // The combination was pressed (once per press, never for key repeat).
    void premuto();
};
