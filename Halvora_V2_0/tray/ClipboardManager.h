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
// kept in memory only. It follows the clipboard's change counter (told of
// changes, or polling it), confirms a copy with a second read, and refuses
// concealed, transient and auto-generated items, copies made while an
// excluded application is in front, and texts once met as concealed. The
// state lives on the GUI thread; the clipboard is read, trimmed and
// fingerprinted on a worker of its own, so a copy costs the GUI thread the
// same whatever its size and whatever the history holds. Each text is held
// once, as UTF-8 (see Appunto), from the clipboard's bytes to the history.
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

    // The history as texts, each decoded: for callers that want them all
    // as text. Views read `voci`, which costs nothing.
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
    // The whole history, newest first, as one text.
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

signals:
    void copiedItemsChanged();
    void appEscluseUtenteChanged();

private:
    // One reading, as the worker hands it back.
    struct Lettura {
        bool vuoto = true;                // nothing on offer
        bool marcato = false;             // a marker or a password hint says "never store"
        std::optional<QByteArray> pulito; // the text as UTF-8, trimmed; none when no text is offered
        QString impronta;                 // of the trimmed text
    };
    static Lettura leggiEPrepara(const Pasteboard& pasteboard);
    // Reads on the worker and hands the result to `poi` on this thread.
    void leggiPoi(std::function<void(const Lettura&)> poi);

    // The front application is excluded: the copy is remembered as concealed.
    bool daAppEsclusa();
    void scheduleCapture(qint64 changeCount);
    void captureClipboard(qint64 expectedChangeCount);
    void concludiCattura(qint64 expectedChangeCount, const Lettura& l);
    void rememberConcealed(const QString& impronta);
    void salvaEscluse();

    Pasteboard& pasteboard_;
    FrontApplication& front_;
    UserDefaults& defaults_;
    Clock& clock_;

    QList<Appunto> voci_;
    qint64 lastChangeCount_ = 0;
    QStringList concealedFingerprints_;
    QStringList appEscluseUtente_;
    TimerHandle pendingCapture_;
    TimerHandle poll_;
    int letture_ = 0;
    // Last: its reading ends before the rest goes.
    QThreadPool lettore_;
};
