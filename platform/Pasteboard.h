#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>

// The desktop's general clipboard as our code reads it: a change counter,
// and the whole offer read at once.
class Pasteboard : public QObject {
    Q_OBJECT
public:
    // What the clipboard offered at one reading.
    struct Contenuto {
        // The formats (X11 target names or MIME types) on offer; empty when nothing is.
        QStringList tipi;
        // The plain text as UTF-8 (valid), when text is offered. Bytes, not
        // a QString: a long copy is held once, at about its own size.
        std::optional<QByteArray> testo;
        // The bytes of each format asked for that is on offer.
        QHash<QString, QByteArray> dati;
    };

    using QObject::QObject;

    // The most a reading takes of one format: an owner that never ends its
    // data must not fill the memory.
    static constexpr qsizetype kMassimoByte = qsizetype(64) << 20;

    // A text format's bytes as valid UTF-8: Latin-1 (X11's STRING) is
    // converted, malformed UTF-8 gets U+FFFD as QString would give it, and
    // valid UTF-8 is kept as it is, with no copy.
    static QByteArray testoUtf8(QByteArray byte, bool latin1);

    // Grows by at least one on every change of the clipboard, ours included;
    // equal counts mean the contents did not change in between. GUI thread.
    virtual qint64 changeCount() const = 0;
    // Reads the offer, with the bytes of `formati` where offered. Safe from
    // any thread; it waits on the owning application, so the GUI thread
    // should not call it.
    virtual Contenuto leggi(const QStringList& formati = {}) const = 0;
    // Replaces the whole contents with one plain text and counts that as a change.
    virtual void setString(const QString& testo) = 0;
    // Whether `contatoreCambiato` tells of every change, so nobody need poll.
    virtual bool segnalaCambi() const { return false; }

signals:
    // The change counter grew.
    void contatoreCambiato();
};
