#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One text of the clipboard history, kept as its UTF-8 bytes: about the
// size it had on the clipboard, where a QString would take twice that for
// the Latin texts most copies are. Copies share the bytes; the text is
// decoded whole only to be copied back.
class Appunto {
public:
    Appunto() = default;
    explicit Appunto(const QString& testo) : utf8_(testo.toUtf8()) {}
    // Takes bytes that are valid UTF-8 as they are.
    static Appunto daUtf8(QByteArray utf8);

    QString testo() const { return QString::fromUtf8(utf8_); }
    const QByteArray& utf8() const { return utf8_; }
    bool isEmpty() const { return utf8_.isEmpty(); }
    // The first `quanti` UTF-16 units of the text, decoding no more than they need.
    QString inizio(qsizetype quanti) const;
    // Whether `ricerca` occurs in any case; decoded a piece at a time.
    bool contiene(const QString& ricerca) const;

    bool operator==(const Appunto& altro) const { return utf8_ == altro.utf8_; }

    // UTF-8 white space at both ends taken away, in place, as
    // QString::trimmed takes it from the text.
    static void rifila(QByteArray& utf8);

private:
    QByteArray utf8_;
};

QStringList testiDi(const QList<Appunto>& voci);
