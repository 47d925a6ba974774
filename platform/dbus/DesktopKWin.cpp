#include "DesktopKWin.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>

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
    : StatoDesktop(parent), bus_(std::move(bus)), file_(QDir::tempPath() + QStringLiteral("/halvora-kwin-XXXXXX.js"))
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

QString DesktopKWin::script(const QString& servizio)
{
    return QStringLiteral(R"(var servizio = "%1";
function invia(metodo, valore) {
    if (valore === undefined)
        callDBus(servizio, "%2", "org.halvora.StatoDesktop", metodo);
    else
        callDBus(servizio, "%2", "org.halvora.StatoDesktop", metodo, valore);
}
function stato() {
    var c = workspace.activeClient;
    invia("finestraInPrimoPiano", c ? c.fullScreen : false);
}
function segui(c) {
    c.fullScreenChanged.connect(stato);
}
workspace.clientList().forEach(segui);
workspace.clientAdded.connect(segui);
workspace.clientActivated.connect(stato);
workspace.currentDesktopChanged.connect(function () {
    invia("spazioCambiato");
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

void DesktopKWin::finestraInPrimoPiano(bool schermoIntero)
{
    if (std::exchange(schermoIntero_, schermoIntero) != schermoIntero)
        emit schermoInteroCambiato();
}

void DesktopKWin::spazioCambiato()
{
    emit desktopCambiato();
}
