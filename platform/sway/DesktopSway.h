#pragma once

#include "StatoDesktop.h"

#include <QByteArray>
#include <QString>

class QJsonObject;
class QLocalSocket;

// Full screen, the focused application, workspaces and their areas as sway
// tells them over its IPC: subscribed to window and workspace events (sway
// 1.7 refuses a subscription that names its output events) on a socket read
// by the event loop, and the tree asked again after each event that can
// change them. Native windows and those of XWayland alike.
class DesktopSway final : public StatoDesktop {
    Q_OBJECT
public:
    explicit DesktopSway(const QString& socket, QObject* parent = nullptr);

    bool connesso() const override { return iscritto_; }
    QList<QRect> schermiInteri() const override { return albero_.schermiInteri; }
    std::optional<AppAttiva> appAttiva() const override { return albero_.app; }
    QList<QRect> areeDiLavoro() const override { return albero_.aree; }

    // What a tree (sway's GET_TREE) tells.
    struct Albero {
        // The outputs whose visible workspace shows a full-screen window.
        QList<QRect> schermiInteri;
        // The focused window's app id (its class under XWayland) and pid;
        // nothing when a workspace has the focus.
        std::optional<AppAttiva> app;
        // Each output's visible workspace: the output less its bars.
        QList<QRect> aree;
    };
    static Albero leggiAlbero(const QJsonObject& radice);

private:
    void leggi();
    void chiediAlbero();
    void evento(uint32_t tipo, const QByteArray& corpo);

    QLocalSocket* socket_;
    QByteArray buffer_;
    bool iscritto_ = false;
    Albero albero_;
    // One tree asked at a time; events meanwhile ask for one more.
    bool alberoInArrivo_ = false;
    bool alberoDaRichiedere_ = false;
};
