#pragma once

#include "Notifiche.h"

#include <QDBusConnection>

// Notices through org.freedesktop.Notifications on the session bus. The
// service counts as authorised when it answers; calls are asynchronous so a
// slow or absent daemon never stalls the caller.
class NotificheDBus final : public Notifiche {
    Q_OBJECT
public:
    explicit NotificheDBus(QObject* parent = nullptr);
    // A given connection (tests use a private bus of their own).
    explicit NotificheDBus(const QDBusConnection& bus, QObject* parent = nullptr);

    void richiediAutorizzazione() override;
    void invia(const QString& titolo, const QString& corpo) override;

private:
    QDBusConnection bus_;
};
