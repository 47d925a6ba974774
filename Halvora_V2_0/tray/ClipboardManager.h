#pragma once

#include "Appunto.h"
#include "Clock.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <optional>

class FrontApplication;
class Pasteboard;
class UserDefaults;

// The history of plain texts copied anywhere on the desktop, newest first,
// lost at quit: short texts in memory, long ones in files of the
// application's cache that go with their entries (see Appunto). It follows the clipboard's change counter (told of
// changes, or polling it), confirms a copy with a second read, and refuses
// concealed, transient and auto-generated items, copies made while an
// excluded application is in front, and texts once met as concealed. The
// state lives on the GUI thread; the clipboard is read, trimmed and
// a long text written to its file on a worker of its own, so a copy costs
// the GUI thread the same whatever its size and whatever the history holds.
// Each text is held once, as UTF-8 (see Appunto), from the clipboard's
// bytes to the history. A fingerprint is worked out only where one is
// needed: a text refused, or one as long as a text once refused.
class ClipboardManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList copiedItems READ copiedItems WRITE setCopiedItems NOTIFY copiedItemsChanged)
    Q_PROPERTY(QStringList appEscluseUtente READ appEscluseUtente NOTIFY appEscluseUtenteChanged)
public:
    static constexpr int kMassimoVoci = 50;
    static constexpr int kMassimoImpronte = 20;
    static constexpr double kIntervalloPoll = 0.5;
    static constexpr double kAttesaConferma = 0.25;
    static inline const QString kChiaveAppEscluse = QStringLiteral("clipboard.appEscluse");

    // Whatever is on the clipboard now is taken as already seen.
    ClipboardManager(Pasteboard& pasteboard, FrontApplication& front, UserDefaults& defaults, Clock& clock,
                     QObject* parent = nullptr);
    ~ClipboardManager() override;

    // The history as texts, each decoded, those kept in files read from
    // them: for callers that want them all as text, off the GUI thread's
    // way. Views read `voci`, which costs nothing.
    QStringList copiedItems() const { return testiDi(voci_); }
    const QList<Appunto>& voci() const { return voci_; }
    // Notifies on every assignment; the tab clears the history this way.
    void setCopiedItems(const QStringList& voci);
    QStringList appEscluseUtente() const { return appEscluseUtente_; }
    // Fingerprints of texts met as concealed, newest first.
    QStringList concealedFingerprints() const { return concealedFingerprints_; }
    bool capturePending() const { return pendingCapture_.isActive(); }
    // A reading of the clipboard is under way on the worker.
    bool leggendo() const { return letture_ > 0; }

    // The poll tick: looks only at the change counter unless it moved.
    void checkForChanges();
    // Copies back without the copy being captured again.
    void copyToClipboard(const QString& testo);
    // Copies one entry back whole; a text kept in a file is read on the
    // worker first. An entry whose file is gone leaves the history.
    void copia(const Appunto& voce);
    // The whole history, newest first, as one text (files read on the worker).
    void copyAllToClipboard();
    void aggiungiAppEsclusa(const QString& id);
    void rimuoviAppEsclusa(const QString& id);

    // Password managers and key stores, excluded always and never listed
    // among the user's: the original identifiers, then the Linux desktop ids.
    static const QStringList& appEscluseIncluse();
    // Format names whose presence means "never store".
    static const QStringList& tipiMarcatori();
    // Lower-case hexadecimal SHA-256 of the UTF-8 bytes.
    static QString fingerprint(const QString& testo);
    static QString fingerprintUtf8(const QByteArray& utf8);
    // The history as "Copia Tutto" puts it on the clipboard.
    static QString unisci(const QStringList& voci);
    // Entries containing `ricerca` in any case; all of them for an empty search.
    static QList<Appunto> filtra(const QList<Appunto>& voci, const QString& ricerca);
    static bool corrisponde(const Appunto& voce, const QString& ricerca);
    // Where long texts are kept while they are in the history; what a
    // previous run left there is removed at start.
    static QString cartellaCache();

signals:
    void copiedItemsChanged();
    void appEscluseUtenteChanged();

private:
    // What the worker needs of the history to judge a reading.
    struct Richiesta {
        bool soloImpronta = false; // from an excluded application: only remembered
        QList<std::pair<QString, qsizetype>> nascoste; // fingerprints refused, with the texts' sizes
        QList<Appunto> inFile;     // entries kept in files, which a copy of the same text shares
    };
    // One reading, as the worker hands it back.
    struct Lettura {
        bool vuoto = true;           // nothing on offer
        bool marcato = false;        // a marker or a password hint says "never store"
        qsizetype dimensione = -1;   // of the trimmed text as UTF-8; -1 when no text is offered
        QString impronta;            // of the trimmed text, where it was needed
        std::optional<Appunto> voce; // the entry it makes, when it may be stored
    };
    static Lettura leggiEPrepara(const Pasteboard& pasteboard, const Richiesta& richiesta);
    // Keeps a long text in a file of the cache; in memory whole when the file cannot be written.
    static Appunto conserva(QByteArray utf8, const QList<Appunto>& inFile);
    Richiesta richiesta(bool soloImpronta) const;
    // Runs `lavoro` on the worker and hands its result to `poi` on this thread.
    template<class T>
    void sulLettore(std::function<T()> lavoro, std::function<void(const T&)> poi);
    // Reads on the worker and hands the result to `poi` on this thread.
    void leggiPoi(bool soloImpronta, std::function<void(const Lettura&)> poi);
    // Entries whose file is gone leave the history.
    void dimentica(const std::shared_ptr<const Appunto::File>& file);

    // The front application is excluded: the copy is remembered as concealed.
    bool daAppEsclusa();
    void scheduleCapture(qint64 changeCount);
    void captureClipboard(qint64 expectedChangeCount);
    void concludiCattura(qint64 expectedChangeCount, const Lettura& l);
    void rememberConcealed(const QString& impronta, qsizetype dimensione);
    void salvaEscluse();

    Pasteboard& pasteboard_;
    FrontApplication& front_;
    UserDefaults& defaults_;
    Clock& clock_;

    QList<Appunto> voci_;
    qint64 lastChangeCount_ = 0;
    QStringList concealedFingerprints_;
    QList<qsizetype> dimensioniNascoste_; // the sizes of those texts, in the same order
    QStringList appEscluseUtente_;
    TimerHandle pendingCapture_;
    TimerHandle poll_;
    int letture_ = 0;
    // Last: its reading ends before the rest goes.
    QThreadPool lettore_;
};
