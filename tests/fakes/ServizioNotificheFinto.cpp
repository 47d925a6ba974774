#include "ServizioNotificheFinto.h"

namespace {
const QString kServizio = QStringLiteral("org.freedesktop.Notifications");
const QString kPercorso = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

ServizioNotificheFinto::ServizioNotificheFinto(QObject* parent)
    : QObject(parent), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("servizio-notifiche-finto")))
{
}

ServizioNotificheFinto::~ServizioNotificheFinto()
{
    ferma();
    QDBusConnection::disconnectFromBus(bus_.name());
}

bool ServizioNotificheFinto::avvia()
{
    return bus_.isConnected() && bus_.registerObject(kPercorso, this, QDBusConnection::ExportAllSlots)
        && bus_.registerService(kServizio);
}

void ServizioNotificheFinto::ferma()
{
    bus_.unregisterService(kServizio);
    bus_.unregisterObject(kPercorso);
}

uint ServizioNotificheFinto::Notify(const QString& app_name, uint replaces_id, const QString&, const QString& summary,
                                    const QString& body, const QStringList&, const QVariantMap& hints, int)
{
    Avviso a{app_name, summary, body, replaces_id, hints, prossimoId_++};
    ricevuti.append(a);
    emit ricevuto();
    return a.id;
}

QString ServizioNotificheFinto::GetServerInformation(QString& vendor, QString& version, QString& spec_version)
{
    vendor = QStringLiteral("Halvora tests");
    version = QStringLiteral("1");
    spec_version = QStringLiteral("1.2");
    return QStringLiteral("servizio-notifiche-finto");
}

QStringList ServizioNotificheFinto::GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("sound")}; }

void ServizioNotificheFinto::CloseNotification(uint) {}
