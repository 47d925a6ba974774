#include "BatteriaMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <cmath>

namespace {
const QString kServizio = QStringLiteral("org.freedesktop.UPower");
const QString kRadice = QStringLiteral("/org/freedesktop/UPower");
const QString kDisplay = QStringLiteral("/org/freedesktop/UPower/devices/DisplayDevice");
const QString kProprieta = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr uint kStatoInCarica = 1;

QString leggiRiga(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readLine(64)).trimmed();
}
} // namespace

BatteriaMonitor::BatteriaMonitor(Clock& clock, QDBusConnection bus, QString cartellaSys, QObject* parent)
    : QObject(parent), clock_(clock), bus_(std::move(bus)), cartellaSys_(std::move(cartellaSys))
{
    upower_ = bus_.isConnected() && bus_.interface() && bus_.interface()->isServiceRegistered(kServizio);
    if (upower_) {
        for (const QString& oggetto : {kDisplay, kRadice})
            bus_.connect(kServizio, oggetto, kProprieta, QStringLiteral("PropertiesChanged"), this,
                         SLOT(proprietaCambiate()));
        leggiUPower();
        return;
    }
    pubblica(leggiSys(cartellaSys_));
    sondaggio_ = clock_.repeating(kIntervalloSys, [this] { pubblica(leggiSys(cartellaSys_)); });
}

int BatteriaMonitor::percentualeSicura(double valore)
{
    if (!std::isfinite(valore))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(valore), 0.0, 100.0));
}

void BatteriaMonitor::proprietaCambiate()
{
    leggiUPower();
}

void BatteriaMonitor::leggiUPower()
{
    // Two asynchronous reads, so the GUI thread never waits on the bus.
    auto tutte = [this](const QString& oggetto, const QString& interfaccia) {
        QDBusMessage m = QDBusMessage::createMethodCall(kServizio, oggetto, kProprieta, QStringLiteral("GetAll"));
        m << interfaccia;
        return new QDBusPendingCallWatcher(bus_.asyncCall(m), this);
    };
    auto* dispositivo = tutte(kDisplay, QStringLiteral("org.freedesktop.UPower.Device"));
    connect(dispositivo, &QDBusPendingCallWatcher::finished, this, [this, tutte](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<QVariantMap> r = *w;
        if (r.isError())
            return; // the previous state stays
        const QVariantMap d = r.value();
        if (!d.value(QStringLiteral("IsPresent")).toBool()) {
            pubblica(std::nullopt);
            return;
        }
        auto* radice = tutte(kRadice, QStringLiteral("org.freedesktop.UPower"));
        connect(radice, &QDBusPendingCallWatcher::finished, this, [this, d](QDBusPendingCallWatcher* w2) {
            w2->deleteLater();
            QDBusPendingReply<QVariantMap> r2 = *w2;
            if (r2.isError())
                return;
            StatoAlimentazione s;
            s.allaCorrente = !r2.value().value(QStringLiteral("OnBattery")).toBool();
            s.inCarica = d.value(QStringLiteral("State")).toUInt() == kStatoInCarica;
            s.percentuale = percentualeSicura(d.value(QStringLiteral("Percentage")).toDouble());
            pubblica(s);
        });
    });
}

std::optional<StatoAlimentazione> BatteriaMonitor::leggiSys(const QString& cartella)
{
    const QDir dir(cartella);
    std::optional<StatoAlimentazione> batteria;
    bool rete = false;
    for (const QString& nome : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString base = dir.filePath(nome) + QLatin1Char('/');
        const QString tipo = leggiRiga(base + QStringLiteral("type"));
        if (tipo == QLatin1String("Mains") && leggiRiga(base + QStringLiteral("online")) == QLatin1String("1"))
            rete = true;
        if (tipo == QLatin1String("Battery") && !batteria) {
            bool ok = false;
            const double capacita = leggiRiga(base + QStringLiteral("capacity")).toDouble(&ok);
            StatoAlimentazione s;
            s.percentuale = ok ? percentualeSicura(capacita) : 0;
            s.inCarica = leggiRiga(base + QStringLiteral("status")) == QLatin1String("Charging");
            batteria = s;
        }
    }
    if (batteria)
        batteria->allaCorrente = rete || batteria->inCarica;
    return batteria;
}

void BatteriaMonitor::pubblica(std::optional<StatoAlimentazione> nuovo)
{
    if (nuovo == stato_)
        return;
    const auto precedente = stato_;
    stato_ = nuovo;
    emit statoChanged(precedente);
}
