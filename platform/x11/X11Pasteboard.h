#pragma once

#include "Pasteboard.h"

#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// The CLIPBOARD selection of the X server. Changes of owner come as XFixes
// selection events on a connection of our own, so nothing is polled and an
// empty clipboard costs nothing until the next owner appears. Each reading
// opens a short connection of its own and asks the owner for its targets
// and its text (large texts arrive in increments), so it may run on any
// thread. Writes go through Qt's clipboard, which then serves them; they
// count once, when made.
class X11Pasteboard final : public Pasteboard {
    Q_OBJECT
public:
    explicit X11Pasteboard(QObject* parent = nullptr);
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return conteggio_; }
    Contenuto leggi(const QStringList& formati = {}) const override;
    void setString(const QString& testo) override;
    bool segnalaCambi() const override { return conn_ != nullptr; }

    // How long one step of a reading may wait on the owner.
    static constexpr int kAttesaMs = 2000;

private:
    void eventi();
    bool nostra(uint32_t finestra) const;

    xcb_connection_t* conn_ = nullptr;
    QSocketNotifier* ascolto_ = nullptr;
    uint8_t primoEvento_ = 0;
    // The id range of the windows of Qt's own connection, through which our writes own the clipboard.
    uint32_t baseNostra_ = 0;
    uint32_t mascheraNostra_ = 0;
    int scrittureAttese_ = 0;
    qint64 conteggio_ = 0;
};
