#include "DesktopKWin.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");

QDBusMessage chiamata(const QString& percorso, const QString& interfaccia, const QString& metodo,
                      const QVariantList& argomenti = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(kKWin, percorso, interfaccia, metodo);
    m.setArguments(argomenti);
    return m;
}

} // namespace

DesktopKWin::DesktopKWin(QDBusConnection bus, QObject* parent)
    : StatoDesktop(parent), bus_(std::move(bus)), file_(QDir::tempPath() + QStringLiteral("/halvora-kwin-XXXXXX.js")),
      scala_(scalaXwayland())
{
    if (!bus_.isConnected() || !bus_.registerObject(kPercorso, this, QDBusConnection::ExportScriptableSlots))
        return;
    if (!file_.open() || file_.write(script(bus_.baseService()).toUtf8()) < 0 || !file_.flush())
        return;
    carica();
}

DesktopKWin::~DesktopKWin()
{
    bus_.unregisterObject(kPercorso);
    if (connesso_)
        bus_.asyncCall(chiamata(QStringLiteral("/Scripting"), kScripting, QStringLiteral("unloadScript"), {kNomeScript}));
}

double DesktopKWin::scalaXwayland()
{
    const QString kwinrc = QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kwinrc"));
    if (kwinrc.isEmpty())
        return 1;
    const double scala = QSettings(kwinrc, QSettings::IniFormat).value(QStringLiteral("Xwayland/Scale"), 1).toDouble();
    return scala > 0 ? scala : 1;
}

QString DesktopKWin::script(const QString& servizio)
{
    return QStringLiteral(R"(var servizio = "%1";
function chiama(metodo, a, b, c) {
    if (a === undefined)
        callDBus(servizio, "%2", "org.halvora.StatoDesktop", metodo);
    else
        callDBus(servizio, "%2", "org.halvora.StatoDesktop", metodo, a, b, c);
}
function contiene(r, x, y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}
// From the top of the stack down: a full-screen window counts when no
// window above it on the current desktop lies over its middle.
function stato() {
    // Each window tells its place in the stack, the topmost the highest.
    var pila = workspace.clientList().slice().sort(function (a, b) { return b.stackingOrder - a.stackingOrder; });
    var sopra = [], interi = [];
    for (var i = 0; i < pila.length; ++i) {
        var f = pila[i];
        if (!f || f.minimized || !(f.normalWindow || f.dialog))
            continue;
        if (!f.onAllDesktops && f.desktop != workspace.currentDesktop)
            continue;
        var g = f.frameGeometry;
        var x = g.x + g.width / 2, y = g.y + g.height / 2;
        if (f.fullScreen && !sopra.some(function (r) { return contiene(r, x, y); }))
            interi.push([g.x, g.y, g.width, g.height].join(","));
        sopra.push({x: g.x, y: g.y, width: g.width, height: g.height});
    }
    var c = workspace.activeClient;
    var app = c ? String(c.desktopFileName || c.resourceClass || "") : "";
    chiama("finestre", interi.join(";"), app, String(c ? c.pid : 0));
}
function segui(c) {
    c.fullScreenChanged.connect(stato);
}
workspace.clientList().forEach(segui);
workspace.clientAdded.connect(function (c) {
    segui(c);
    stato();
});
workspace.clientRemoved.connect(stato);
workspace.clientActivated.connect(stato);
workspace.clientMinimized.connect(stato);
workspace.clientUnminimized.connect(stato);
workspace.currentDesktopChanged.connect(function () {
    chiama("spazioCambiato");
    stato();
});
stato();
)")
        .arg(servizio, kPercorso);
}

void DesktopKWin::carica()
{
    // A script of an earlier run that did not end well goes first; the calls keep their order.
    bus_.asyncCall(chiamata(QStringLiteral("/Scripting"), kScripting, QStringLiteral("unloadScript"), {kNomeScript}));
    auto* attesa = new QDBusPendingCallWatcher(
        bus_.asyncCall(chiamata(QStringLiteral("/Scripting"), kScripting, QStringLiteral("loadScript"),
                                {file_.fileName(), kNomeScript})),
        this);
    connect(attesa, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<int> id = *w;
        if (id.isError() || id.value() < 0)
            return;
        connesso_ = true;
        bus_.asyncCall(chiamata(QStringLiteral("/%1").arg(id.value()), QStringLiteral("org.kde.kwin.Script"),
                                QStringLiteral("run")));
    });
}

void DesktopKWin::finestre(const QString& schermiInteri, const QString& app, const QString& testoPid)
{
    const qint64 pid = testoPid.toLongLong();
    QList<QRect> interi;
    for (const QString& r : schermiInteri.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList v = r.split(QLatin1Char(','));
        if (v.size() == 4)
            interi << QRect(qRound(v[0].toDouble() * scala_), qRound(v[1].toDouble() * scala_),
                            qRound(v[2].toDouble() * scala_), qRound(v[3].toDouble() * scala_));
    }
    if (std::exchange(schermiInteri_, interi) != interi)
        emit schermoInteroCambiato();
    std::optional<AppAttiva> nuova;
    if (!app.isEmpty() || pid > 0)
        nuova = AppAttiva{app, pid};
    const bool cambiata = nuova.has_value() != app_.has_value() || (nuova && (nuova->id != app_->id || nuova->pid != app_->pid));
    app_ = nuova;
    if (cambiata)
        emit appAttivaCambiata();
}

void DesktopKWin::spazioCambiato()
{
    emit desktopCambiato();
}
