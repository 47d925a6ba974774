#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// A private session bus with the desktop's calendar store, Evolution Data
// Server, started by the bus on demand as on a desktop, in a fresh home of
// its own. The test process is pointed at it (bus and XDG folders), so make
// it before anything talks to GLib or D-Bus. The store's .source files can
// be written before its first use; `togliStore` takes it off the bus.
class BusEds {
public:
    BusEds()
    {
        const QDir d(radice_.path());
        for (const char* c : {"config/evolution/sources", "data", "cache", "runtime", "servizi"})
            d.mkpath(QString::fromLatin1(c));
        QFile::setPermissions(d.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char* nome : {"Sources5", "Calendar8", "AddressBook10"}) {
            const QString servizio = QStringLiteral("org.gnome.evolution.dataserver.%1.service").arg(nome);
            QFile::copy("/usr/share/dbus-1/services/" + servizio, d.filePath("servizi/" + servizio));
        }
        QFile conf(d.filePath("bus.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write(QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen>"
                                  "<auth>EXTERNAL</auth><servicedir>%2</servicedir>"
                                  "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/>"
                                  "</policy></busconfig>")
                       .arg(radice_.path(), d.filePath("servizi"))
                       .toUtf8());
        conf.close();

        qputenv("HOME", radice_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", d.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", d.filePath("data").toUtf8());
        qputenv("XDG_CACHE_HOME", d.filePath("cache").toUtf8());
        qputenv("XDG_RUNTIME_DIR", d.filePath("runtime").toUtf8());
        qputenv("GSETTINGS_BACKEND", "memory"); // never the user's own settings
        demone_.setProgram(QStringLiteral("dbus-daemon"));
        demone_.setArguments({"--config-file=" + conf.fileName(), "--nofork", "--print-address=1"});
        demone_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        demone_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        demone_.start();
        demone_.waitForReadyRead(5000);
        indirizzo_ = QString::fromUtf8(demone_.readLine().trimmed());
        qputenv("DBUS_SESSION_BUS_ADDRESS", indirizzo_.toUtf8());
    }

    ~BusEds()
    {
        fermaProcessi();
        demone_.terminate();
        demone_.waitForFinished(5000);
    }

    bool pronto() const { return !indirizzo_.isEmpty(); }
    QString home() const { return radice_.path(); }

    // A source as the store's own settings would hold it.
    void scriviSorgente(const QString& uid, const QByteArray& contenuto)
    {
        QFile f(QDir(radice_.path()).filePath("config/evolution/sources/" + uid + ".source"));
        f.open(QIODevice::WriteOnly);
        f.write(contenuto);
    }

    // The store leaves the bus and cannot be started again.
    void togliStore()
    {
        QDir(QDir(radice_.path()).filePath("servizi")).removeRecursively();
        bus().interface()->call(QStringLiteral("ReloadConfig"));
        fermaProcessi();
    }

    // Every process of the store stops where it is (SIGSTOP), as a hung
    // store would, or goes on (SIGCONT).
    void sospendi(bool fermo)
    {
        for (uint p : processi())
            ::kill(pid_t(p), fermo ? SIGSTOP : SIGCONT);
    }

private:
    QDBusConnection bus() { return QDBusConnection::connectToBus(indirizzo_, QStringLiteral("bus-eds")); }

    // The processes the bus started for the store (every peer but this one and other clients).
    QList<uint> processi()
    {
        QList<uint> pid;
        if (indirizzo_.isEmpty())
            return pid;
        QDBusConnectionInterface* i = bus().interface();
        for (const QString& nome : i->registeredServiceNames().value()) {
            if (!nome.startsWith(QLatin1Char(':')))
                continue;
            const uint p = i->servicePid(nome).value();
            QFile comando(QStringLiteral("/proc/%1/comm").arg(p));
            if (p && p != uint(QCoreApplication::applicationPid()) && !pid.contains(p)
                && comando.open(QIODevice::ReadOnly) && comando.readAll().startsWith("evolution"))
                pid.append(p);
        }
        return pid;
    }

    // Ends every process the bus started for the store, by its id.
    void fermaProcessi()
    {
        if (indirizzo_.isEmpty())
            return;
        QDBusConnectionInterface* i = bus().interface();
        const QStringList nomi = i->registeredServiceNames().value();
        QList<uint> pid;
        for (const QString& nome : nomi) {
            if (!nome.startsWith(QLatin1Char(':')))
                continue;
            const uint p = i->servicePid(nome).value();
            if (p && p != uint(QCoreApplication::applicationPid()) && !pid.contains(p))
                pid.append(p);
        }
        for (uint p : pid) {
            ::kill(pid_t(p), SIGCONT); // a stopped one hears SIGTERM only once it goes on
            ::kill(pid_t(p), SIGTERM);
        }
        const auto presente = [i](const char* nome) {
            return i->isServiceRegistered(QStringLiteral("org.gnome.evolution.dataserver.") + QLatin1String(nome)).value();
        };
        for (int giro = 0; giro < 250 && (presente("Sources5") || presente("Calendar8")); ++giro)
            QTest::qWait(20);
    }

    QTemporaryDir radice_;
    QProcess demone_;
    QString indirizzo_;
};
