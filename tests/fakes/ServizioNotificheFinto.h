#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A notification daemon for tests: serves org.freedesktop.Notifications on
// a connection of its own to the (private) session bus and records every
// notice it is sent.
class ServizioNotificheFinto : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Avviso {
        QString app, titolo, corpo;
        uint sostituisce = 0;
        QVariantMap suggerimenti;
        uint id = 0;
    };

    explicit ServizioNotificheFinto(QObject* parent = nullptr);
    ~ServizioNotificheFinto() override;

    // Takes the well-known name; false when the bus refused it.
    bool avvia();
    void ferma();

    QList<Avviso> ricevuti;

signals:
    void ricevuto();

public slots:
    uint Notify(const QString& app_name, uint replaces_id, const QString& app_icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expire_timeout);
    QString GetServerInformation(QString& vendor, QString& version, QString& spec_version);
    QStringList GetCapabilities();
    void CloseNotification(uint id);

private:
    QDBusConnection bus_;
    uint prossimoId_ = 1;
};
