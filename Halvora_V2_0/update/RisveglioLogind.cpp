#include "RisveglioLogind.h"

RisveglioLogind::RisveglioLogind(const QDBusConnection& bus, QObject* parent) : Risveglio(parent)
{
    QDBusConnection connessione = bus;
    if (connessione.isConnected())
        inAscolto_ = connessione.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(preparaSospensione(bool)));
}

void RisveglioLogind::preparaSospensione(bool inizio)
{
    // true goes before sleep, false after the machine has woken.
    if (!inizio)
        emit risvegliato();
}
