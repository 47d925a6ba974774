#pragma once

#include <QObject>
#include <cstdint>

struct xcb_connection_t;
class QSocketNotifier;
class QWindow;

// Keeps an override-redirect window above every window the window manager
// manages, full-screen ones included. No manager stacks such a window, so
// it is put back over the topmost managed one whenever a top-level window
// is mapped or restacked. Windows of this process and other unmanaged ones
// (menus, tooltips) may stay above it. Watches on a connection of its own.
class X11SempreSopra : public QObject {
    Q_OBJECT
public:
    explicit X11SempreSopra(QWindow& finestra, QObject* parent = nullptr);
    ~X11SempreSopra() override;

    // While off nothing is restacked (the window is hidden or away).
    void setAttivo(bool attivo);
    // Restacks now when a managed window lies above; whether it did.
    bool controlla();

signals:
    void rialzata();

private:
    void leggiEventi();
    void programma();
    bool propria(uint32_t finestra) const;

    QWindow& finestra_;
    xcb_connection_t* conn_ = nullptr;
    uint32_t root_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    uint32_t baseQt_ = 0, mascheraQt_ = 0; // the ids Qt's connection creates
    bool attivo_ = true;
    bool programmato_ = false;
};
