#include "DesktopSway.h"

#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocalSocket>

namespace {

// The path from `nodo` down to the focused node, the focused node last; empty when it is not below.
bool versoFocus(const QJsonObject& nodo, QList<QJsonObject>& percorso)
{
    percorso << nodo;
    if (nodo.value(QLatin1String("focused")).toBool())
        return true;
    for (const char* figli : {"nodes", "floating_nodes"})
        for (const QJsonValue& f : nodo.value(QLatin1String(figli)).toArray())
            if (versoFocus(f.toObject(), percorso))
                return true;
    percorso.removeLast();
    return false;
}

// Window changes after which the focused window or its mode may be another.
bool cambiaIlFocus(const QString& cambio)
{
    static const QStringList cambi = {"focus", "fullscreen_mode", "new", "close", "move", "floating"};
    return cambi.contains(cambio);
}

} // namespace

DesktopSway::DesktopSway(const QString& socket, QObject* parent) : StatoDesktop(parent), socket_(new QLocalSocket(this))
{
    connect(socket_, &QLocalSocket::readyRead, this, &DesktopSway::leggi);
    connect(socket_, &QLocalSocket::connected, this, [this] {
        socket_->write(SwayIpc::messaggio(SwayIpc::iscrizione, R"(["window","workspace"])"));
        chiediAlbero();
    });
    connect(socket_, &QLocalSocket::disconnected, this, [this] {
        iscritto_ = false;
        if (std::exchange(schermoIntero_, false))
            emit schermoInteroCambiato();
    });
    if (!socket.isEmpty())
        socket_->connectToServer(socket);
}

bool DesktopSway::schermoInteroNellAlbero(const QJsonObject& radice)
{
    QList<QJsonObject> percorso;
    if (!versoFocus(radice, percorso))
        return false;
    // Only windows and their containers count: sway gives workspaces a mode of their own.
    auto contenitore = [](const QJsonObject& n) {
        const QString tipo = n.value(QLatin1String("type")).toString();
        return tipo == QLatin1String("con") || tipo == QLatin1String("floating_con");
    };
    // A workspace in focus has no window in front.
    if (!contenitore(percorso.last()))
        return false;
    for (const QJsonObject& n : percorso)
        if (contenitore(n) && n.value(QLatin1String("fullscreen_mode")).toInt() > 0)
            return true;
    return false;
}

void DesktopSway::chiediAlbero()
{
    if (alberoInArrivo_) {
        alberoDaRichiedere_ = true;
        return;
    }
    alberoInArrivo_ = true;
    socket_->write(SwayIpc::messaggio(SwayIpc::albero));
}

void DesktopSway::leggi()
{
    buffer_ += socket_->readAll();
    while (auto m = SwayIpc::estrai(buffer_))
        evento(m->first, m->second);
}

void DesktopSway::evento(uint32_t tipo, const QByteArray& corpo)
{
    const QJsonObject o = QJsonDocument::fromJson(corpo).object();
    switch (tipo) {
    case SwayIpc::iscrizione:
        iscritto_ = o.value(QLatin1String("success")).toBool();
        break;
    case SwayIpc::albero: {
        alberoInArrivo_ = false;
        const bool prima = schermoIntero_;
        schermoIntero_ = schermoInteroNellAlbero(o);
        if (std::exchange(alberoDaRichiedere_, false))
            chiediAlbero();
        if (schermoIntero_ != prima)
            emit schermoInteroCambiato();
        break;
    }
    case SwayIpc::eventoFinestra:
        if (cambiaIlFocus(o.value(QLatin1String("change")).toString()))
            chiediAlbero();
        break;
    case SwayIpc::eventoSpazio:
        if (o.value(QLatin1String("change")).toString() == QLatin1String("focus")) {
            emit desktopCambiato();
            chiediAlbero();
        }
        break;
    default:
        break;
    }
}
