#pragma once

#include "Clock.h"

#include <QDBusConnection>
#include <QObject>
#include <optional>

// The power source: on mains, charging, charge in percent (0 to 100).
struct StatoAlimentazione {
    bool allaCorrente = false;
    bool inCarica = false;
    int percentuale = 0;
    bool operator==(const StatoAlimentazione&) const = default;
};

// Publishes the power state from UPower's display device over D-Bus, woken
// by its property-change signals; where UPower is absent, from the kernel's
// power-supply folder, re-read every 30 s. Published only on change.
class BatteriaMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr double kIntervalloSys = 30;

    explicit BatteriaMonitor(Clock& clock, QDBusConnection bus = QDBusConnection::systemBus(),
                             QString cartellaSys = QStringLiteral("/sys/class/power_supply"),
                             QObject* parent = nullptr);

    const std::optional<StatoAlimentazione>& stato() const { return stato_; }
    bool usaUPower() const { return upower_; }

    // The state from the power-supply folder: the first battery, mains from
    // any "Mains" supply online; none without a battery.
    static std::optional<StatoAlimentazione> leggiSys(const QString& cartella);
    // Charge in whole percent, truncated and kept within 0 to 100.
    static int percentualeSicura(double valore);

signals:
    void statoChanged(const std::optional<StatoAlimentazione>& precedente);

private slots:
    void proprietaCambiate();

private:
    void leggiUPower();
    void pubblica(std::optional<StatoAlimentazione> nuovo);

    Clock& clock_;
    QDBusConnection bus_;
    QString cartellaSys_;
    bool upower_ = false;
    std::optional<StatoAlimentazione> stato_;
    TimerHandle sondaggio_;
};
