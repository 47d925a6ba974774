#pragma once

#include "Pasteboard.h"

#include <atomic>
#include <memory>

// The selection of a Wayland session through the compositor's data-control
// protocol (sway and the wlroots family, KWin): every copy is learned and
// read without focus, native programs' included, and our own copies are
// offered to native programs. The connection lives on a thread of its own;
// readings ask the owner through a pipe on the caller's thread, and our
// data is written to readers on short threads of its own, so neither waits
// on the GUI thread.
class WaylandPasteboard final : public Pasteboard {
    Q_OBJECT
public:
    // Connects to $WAYLAND_DISPLAY; `attivo` tells whether the compositor
    // offers data control (at most kAttesaMs are waited for its answer).
    explicit WaylandPasteboard(QObject* parent = nullptr);
    ~WaylandPasteboard() override;

    bool attivo() const;
    qint64 changeCount() const override { return conteggio_; }
    Contenuto leggi(const QStringList& formati = {}) const override;
    void setString(const QString& testo) override;
    bool segnalaCambi() const override { return attivo(); }

    // How long one step of a reading or of a write to a reader may wait.
    static constexpr int kAttesaMs = 2000;
    // The type that marks our own offers, so that their return is not a change.
    static inline const QString kTipoProprio = QStringLiteral("application/x-halvora-propria");

    struct Filo;

private:
    void annuncia();

    std::unique_ptr<Filo> filo_;
    std::atomic<qint64> conteggio_ = 0;
};
