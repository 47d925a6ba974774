#include "DesktopSway.h"

#include "SwayIpc.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocalSocket>

namespace {

QList<QJsonObject> figli(const QJsonObject& nodo)
{
    QList<QJsonObject> lista;
    for (const char* chiave : {"nodes", "floating_nodes"})
        for (const QJsonValue& f : nodo.value(QLatin1String(chiave)).toArray())
            lista << f.toObject();
    return lista;
}

QString tipo(const QJsonObject& n)
{
    return n.value(QLatin1String("type")).toString();
}

// Windows and their containers; sway gives workspaces a mode of their own.
bool contenitore(const QJsonObject& n)
{
    return tipo(n) == QLatin1String("con") || tipo(n) == QLatin1String("floating_con");
}

QRect rettangolo(const QJsonObject& n)
{
    const QJsonObject r = n.value(QLatin1String("rect")).toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                 r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

// The full-screen mode of the windows under `nodo`: 0 none, 1 its output, 2 all outputs.
int modoSchermoIntero(const QJsonObject& nodo)
{
    int modo = contenitore(nodo) ? nodo.value(QLatin1String("fullscreen_mode")).toInt() : 0;
    for (const QJsonObject& f : figli(nodo))
        modo = std::max(modo, modoSchermoIntero(f));
    return modo;
}

// The focused node under `nodo`, if any.
std::optional<QJsonObject> focus(const QJsonObject& nodo)
{
    if (nodo.value(QLatin1String("focused")).toBool())
        return nodo;
    for (const QJsonObject& f : figli(nodo))
        if (auto trovato = focus(f))
            return trovato;
    return std::nullopt;
}

// Window changes after which the focused window, its mode or its place may be another.
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
        albero_ = {};
        emit schermoInteroCambiato();
        emit appAttivaCambiata();
        emit areeDiLavoroCambiate();
    });
    if (!socket.isEmpty())
        socket_->connectToServer(socket);
}

DesktopSway::Albero DesktopSway::leggiAlbero(const QJsonObject& radice)
{
    Albero a;
    QList<QRect> uscite;
    bool ovunque = false;
    for (const QJsonObject& uscita : figli(radice)) {
        const QString nome = uscita.value(QLatin1String("name")).toString();
        if (tipo(uscita) != QLatin1String("output") || nome == QLatin1String("__i3"))
            continue;
        uscite << rettangolo(uscita);
        const QString visibile = uscita.value(QLatin1String("current_workspace")).toString();
        for (const QJsonObject& spazio : figli(uscita)) {
            if (spazio.value(QLatin1String("name")).toString() != visibile)
                continue;
            a.aree << rettangolo(spazio);
            const int modo = modoSchermoIntero(spazio);
            if (modo == 1)
                a.schermiInteri << rettangolo(uscita);
            ovunque = ovunque || modo == 2;
        }
    }
    if (ovunque)
        a.schermiInteri = uscite;
    // A workspace in focus has no window in front.
    if (const auto f = focus(radice); f && contenitore(*f)) {
        QString id = f->value(QLatin1String("app_id")).toString();
        if (id.isEmpty())
            id = f->value(QLatin1String("window_properties")).toObject().value(QLatin1String("class")).toString();
        a.app = AppAttiva{id, f->value(QLatin1String("pid")).toInteger()};
    }
    return a;
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
        const Albero prima = std::exchange(albero_, leggiAlbero(o));
        if (std::exchange(alberoDaRichiedere_, false))
            chiediAlbero();
        if (albero_.schermiInteri != prima.schermiInteri)
            emit schermoInteroCambiato();
        if (albero_.app.has_value() != prima.app.has_value()
            || (albero_.app && (albero_.app->id != prima.app->id || albero_.app->pid != prima.app->pid)))
            emit appAttivaCambiata();
        if (albero_.aree != prima.aree)
            emit areeDiLavoroCambiate();
        break;
    }
    case SwayIpc::eventoFinestra:
        if (cambiaIlFocus(o.value(QLatin1String("change")).toString()))
            chiediAlbero();
        break;
    case SwayIpc::eventoSpazio:
        if (o.value(QLatin1String("change")).toString() == QLatin1String("focus"))
            emit desktopCambiato();
        chiediAlbero();
        break;
    default:
        break;
    }
}
