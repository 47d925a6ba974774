#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <optional>

// The desktop's general clipboard as our code reads it: a change counter,
// the formats offered and the plain text.
class Pasteboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Grows by at least one on every change of the clipboard, ours included;
    // equal counts mean the contents did not change in between.
    virtual qint64 changeCount() const = 0;
    // The MIME formats (or X11 target names) on offer; empty when nothing is.
    virtual QStringList types() const = 0;
    // The raw bytes offered under one format; empty when not offered.
    virtual QByteArray data(const QString& tipo) const = 0;
    // The plain text, or nothing when no text is offered.
    virtual std::optional<QString> string() const = 0;
    // Replaces the whole contents with one plain text and counts that as a change.
    virtual void setString(const QString& testo) = 0;
    // Whether `contatoreCambiato` tells of every change, so nobody need poll.
    virtual bool segnalaCambi() const { return false; }

signals:
    // The change counter grew.
    void contatoreCambiato();
};
