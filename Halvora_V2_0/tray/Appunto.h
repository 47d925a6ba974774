#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

// One text of the clipboard history, kept as its UTF-8 bytes: about the
// size it had on the clipboard, where a QString would take twice that for
// the Latin texts most copies are. Copies share the bytes. A long text
// lives in a file of the application's cache instead, and only its
// beginning stays in memory, for the row and the search: the history holds
// a few MB whatever is copied. The file goes with the last entry that
// holds it.
class Appunto {
public:
    // Longer texts go to a file; this much of their beginning stays in memory.
    static constexpr qsizetype kInMemoria = 64 * 1024;

    // The cache file of a long text: removed when the last entry holding it goes.
    class File {
    public:
        File(QString percorso, qsizetype dimensione) : percorso_(std::move(percorso)), dimensione_(dimensione) {}
        ~File();
        File(const File&) = delete;
        File& operator=(const File&) = delete;
        const QString& percorso() const { return percorso_; }
        qsizetype dimensione() const { return dimensione_; }
        // The whole text's bytes; none when the file is gone or cut short.
        // Blocking file I/O: keep it off the GUI thread.
        std::optional<QByteArray> leggi() const;
        // Whether the file holds exactly `utf8` (read a piece at a time). Blocking.
        bool contiene(const QByteArray& utf8) const;

    private:
        QString percorso_;
        qsizetype dimensione_;
    };

    Appunto() = default;
    explicit Appunto(const QString& testo) : utf8_(testo.toUtf8()) {}
    // Takes bytes that are valid UTF-8 as they are.
    static Appunto daUtf8(QByteArray utf8);
    // A text kept in `file`, whose first bytes are `inizio`.
    static Appunto inFile(std::shared_ptr<const File> file, QByteArray inizio);

    // The whole text. For one kept in a file, reads it (blocking; an empty
    // text when the file is gone).
    QString testo() const;
    // The whole text's bytes; for one kept in a file, read from it (blocking).
    std::optional<QByteArray> intero() const;
    // The bytes held in memory: the whole text, or the beginning of one kept in a file.
    const QByteArray& utf8() const { return utf8_; }
    qsizetype dimensione() const { return file_ ? file_->dimensione() : utf8_.size(); }
    const std::shared_ptr<const File>& file() const { return file_; }
    bool isEmpty() const { return dimensione() == 0; }
    // The first `quanti` UTF-16 units of the text, decoding no more than they need.
    QString inizio(qsizetype quanti) const;
    // Whether `ricerca` occurs in any case, in the bytes held in memory;
    // decoded a piece at a time.
    bool contiene(const QString& ricerca) const;

    // Equal texts: equal bytes in memory, or the same cache file (a long
    // text copied again shares the file of the entry it equals).
    bool operator==(const Appunto& altro) const
    {
        return file_ == altro.file_ && (file_ || utf8_ == altro.utf8_);
    }

    // UTF-8 white space at both ends taken away, in place, as
    // QString::trimmed takes it from the text.
    static void rifila(QByteArray& utf8);
    // The first `quanti` bytes at most, never ending inside a character.
    static QByteArray inizioUtf8(const QByteArray& utf8, qsizetype quanti);

private:
    QByteArray utf8_;
    std::shared_ptr<const File> file_;
};

QStringList testiDi(const QList<Appunto>& voci);
