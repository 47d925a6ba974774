#pragma once

#include <QList>
#include <QString>
#include <cstdint>

struct xcb_connection_t;

// One top-level window as the window manager lists it.
struct FinestraX11 {
    uint32_t id = 0;
    qint64 pid = 0;   // _NET_WM_PID, 0 when not set
    QString istanza;  // WM_CLASS instance
    QString classe;   // WM_CLASS class
    QString nome;     // _NET_WM_NAME, else WM_NAME
};

// Blocking EWMH queries and requests on a connection of its own, for a
// worker thread or a helper process: every call waits for the server's
// answer. Without a display every query answers "nothing".
class X11Client {
public:
    X11Client();
    ~X11Client();
    X11Client(const X11Client&) = delete;
    X11Client& operator=(const X11Client&) = delete;

    bool connesso() const { return conn_ != nullptr; }
    // The windows of _NET_CLIENT_LIST owned by `pid`, in the list's order.
    QList<FinestraX11> finestre(qint64 pid) const;
    // Asks the window manager to bring `finestra` to the front, as a pager
    // would (so focus-stealing prevention lets it through).
    bool attiva(uint32_t finestra) const;

private:
    FinestraX11 leggiFinestra(uint32_t id) const;

    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    uint32_t aLista_ = 0, aPid_ = 0, aNome_ = 0, aUtf8_ = 0, aAttiva_ = 0;
};
