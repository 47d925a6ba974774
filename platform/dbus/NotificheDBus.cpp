#include "NotificheDBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kServizio = QStringLiteral("org.freedesktop.Notifications");
const QString kPercorso = QStringLiteral("/org/freedesktop/Notifications");

// How long a daemon may take to answer before the notice is given up;
// activation of a daemon on first use can take a moment.
constexpr int kAttesaMs = 5000;

} // namespace

NotificheDBus::NotificheDBus(QObject* parent) : NotificheDBus(QDBusConnection::sessionBus(), parent) {}

NotificheDBus::NotificheDBus(const QDBusConnection& bus, QObject* parent) : Notifiche(parent), bus_(bus) {}

void NotificheDBus::richiediAutorizzazione()
{
    if (!bus_.isConnected()) {
        // Still answer asynchronously, as with a bus.
        QMetaObject::invokeMethod(this, [this] { emit autorizzazione(false); }, Qt::QueuedConnection);
        return;
    }
    auto chiamata = QDBusMessage::createMethodCall(kServizio, kPercorso, kServizio, QStringLiteral("GetServerInformation"));
    auto* attesa = new QDBusPendingCallWatcher(bus_.asyncCall(chiamata, kAttesaMs), this);
    connect(attesa, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        emit autorizzazione(!w->isError());
    });
}

void NotificheDBus::invia(const QString& titolo, const QString& corpo)
{
    if (!bus_.isConnected())
        return;
    auto chiamata = QDBusMessage::createMethodCall(kServizio, kPercorso, kServizio, QStringLiteral("Notify"));
    QVariantMap suggerimenti;
    // The desktop's default sound for a new message.
    suggerimenti.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    chiamata << QCoreApplication::applicationName() // app_name
             << uint(0)                             // replaces_id: 0 makes a new notice every time
             << QString()                           // app_icon
             << titolo << corpo
             << QStringList()                       // actions
             << suggerimenti
             << int(-1);                            // expire_timeout: the server's default
    // The reply (the notice's id) is not needed; an absent service only
    // produces an error reply that nobody waits for.
    bus_.asyncCall(chiamata, kAttesaMs);
}
