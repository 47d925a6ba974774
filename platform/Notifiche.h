#pragma once

#include <QObject>
#include <QString>

// User notifications shown by the desktop. Posting never fails loudly:
// with no notification service the notice is simply not shown.
class Notifiche : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Asks whether notices can be shown; the answer arrives once through
    // autorizzazione(), never blocking the caller.
    virtual void richiediAutorizzazione() = 0;
    // Posts one notice at once with the default sound. Every notice is a new
    // one: a later notice never replaces an earlier one.
    virtual void invia(const QString& titolo, const QString& corpo) = 0;

signals:
    // The answer to richiediAutorizzazione(): true when the service answered.
    void autorizzazione(bool concessa);
};
