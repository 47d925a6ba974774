#pragma once

#include "StatoDesktop.h"

#include <QByteArray>
#include <QString>

class QJsonObject;
class QLocalSocket;

// Full screen and workspaces as sway tells them over its IPC: subscribed to
// window and workspace events on a socket read by the event loop, and the
// tree asked again after each event that can change the focused window or
// its full-screen mode. Native windows and those of XWayland alike.
class DesktopSway final : public StatoDesktop {
    Q_OBJECT
public:
    explicit DesktopSway(const QString& socket, QObject* parent = nullptr);

    bool connesso() const override { return iscritto_; }
    bool schermoInteroAttivo() const override { return schermoIntero_; }

    // Whether the focused node of a tree (sway's GET_TREE) is a window that
    // is full screen or inside a full-screen container.
    static bool schermoInteroNellAlbero(const QJsonObject& radice);

private:
    void leggi();
    void chiediAlbero();
    void evento(uint32_t tipo, const QByteArray& corpo);

    QLocalSocket* socket_;
    QByteArray buffer_;
    bool iscritto_ = false;
    bool schermoIntero_ = false;
    // One tree asked at a time; events meanwhile ask for one more.
    bool alberoInArrivo_ = false;
    bool alberoDaRichiedere_ = false;
};
