#pragma once

#include "Clock.h"

#include <QObject>
#include <QStringList>

class FrontApplication;
class Pasteboard;
class UserDefaults;

// The history of plain texts copied anywhere on the desktop, newest first,
// kept in memory only. It polls the clipboard's change counter, confirms a
// copy with a second read, and refuses concealed, transient and
// auto-generated items, copies made while an excluded application is in
// front, and texts once met as concealed. GUI thread only.
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

    QStringList copiedItems() const { return copiedItems_; }
    // Notifies on every assignment; the tab clears the history this way.
    void setCopiedItems(const QStringList& voci);
    QStringList appEscluseUtente() const { return appEscluseUtente_; }
    // Fingerprints of texts met as concealed, newest first.
    QStringList concealedFingerprints() const { return concealedFingerprints_; }
    bool capturePending() const { return pendingCapture_.isActive(); }

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
    // The history as "Copia Tutto" puts it on the clipboard.
    static QString unisci(const QStringList& voci);
    // Entries containing `ricerca` in any case; all of them for an empty search.
    static QStringList filtra(const QStringList& voci, const QString& ricerca);

signals:
    void copiedItemsChanged();
    void appEscluseUtenteChanged();

private:
    // The front application is excluded: the copy is remembered as concealed.
    bool daAppEsclusa();
    bool marcatoDaNonSalvare(const QStringList& tipi) const;
    void scheduleCapture(qint64 changeCount);
    void captureClipboard(qint64 expectedChangeCount);
    void rememberConcealed(const QString& testo);
    void salvaEscluse();

    Pasteboard& pasteboard_;
    FrontApplication& front_;
    UserDefaults& defaults_;
    Clock& clock_;

    QStringList copiedItems_;
    qint64 lastChangeCount_ = 0;
    QStringList concealedFingerprints_;
    QStringList appEscluseUtente_;
    TimerHandle pendingCapture_;
    TimerHandle poll_; // last: stops before the rest goes
};
