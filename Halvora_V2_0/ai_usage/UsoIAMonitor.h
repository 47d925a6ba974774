#pragma once

#include "Clock.h"
#include "LettoreUsoIA.h"
#include "RegoleUsoIA.h"

#include <QObject>
#include <QThread>
#include <map>
#include <memory>

class FrontApplication;
class UserDefaults;

// The AI-usage feature's one observable object: runs the two readers on
// its worker thread (every 10 s while a provider's application is in
// front, else every 60 s), keeps and ages their readings, publishes one
// state per provider and tells when an exhausted window frees up.
class UsoIAMonitor final : public QObject {
    Q_OBJECT
    Q_PROPERTY(Stati stati READ stati NOTIFY statiChanged)
    Q_PROPERTY(std::optional<FornitoreIA> inPrimoPiano READ inPrimoPiano NOTIFY inPrimoPianoChanged)
    Q_PROPERTY(FornitoreIA ultimoUsato READ ultimoUsato NOTIFY ultimoUsatoChanged)
    Q_PROPERTY(bool attivo READ attivo WRITE setAttivo NOTIFY attivoChanged)

public:
    using Stati = RegoleUsoIA::Stati;
    using Lettori = std::map<FornitoreIA, std::shared_ptr<LettoreUsoIA>>;

    // A window that was exhausted is usable again.
    struct DiNuovoDisponibile {
        FornitoreIA fornitore;
        bool settimanale; // true: the seven-day window; false: the five-hour one
        bool operator==(const DiNuovoDisponibile&) const = default;
    };

    static constexpr double kIntervalloVeloce = 10.0;
    static constexpr double kIntervalloLento = 60.0;
    static inline const QString kChiaveUltimoUsato = QStringLiteral("usoIA.ultimoUsato");

    // With the two real readers, reading the providers' own folders.
    UsoIAMonitor(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale,
                 QString idPropria = QStringLiteral("halvora"), QObject* parent = nullptr);
    // With readers of the caller's choice (tests).
    UsoIAMonitor(Clock& clock, UserDefaults& impostazioni, FrontApplication& frontale, Lettori lettori,
                 QString idPropria, QObject* parent = nullptr);
    ~UsoIAMonitor() override;

    const Stati& stati() const { return stati_; }
    std::optional<FornitoreIA> inPrimoPiano() const { return inPrimoPiano_; }
    FornitoreIA ultimoUsato() const { return ultimoUsato_; }
    bool attivo() const { return attivo_; }
    // Starts or stops the monitor when the value changes.
    void setAttivo(bool attivo);

    void avvia();
    void ferma();

    // What the closed notch shows, or nothing.
    std::optional<RegoleUsoIA::SceltaTacca> statoPerTacca() const;
    // What the open panel shows, or nothing.
    std::optional<StatoUsoIA> statoPerPannello() const;

    // Seconds between reads while running; 0 when no timer is armed.
    double periodo() const { return timer_ ? periodo_ : 0; }

signals:
    void statiChanged();
    void inPrimoPianoChanged();
    void ultimoUsatoChanged();
    void attivoChanged();
    // Any published field changed.
    void cambiato();
    void diNuovoDisponibile(UsoIAMonitor::DiNuovoDisponibile evento);

private:
    void appInPrimoPiano(const QString& id);
    void armaTimer();
    void leggi();
    void ricevi(quint64 generazione, const RegoleUsoIA::Letture& risultati);
    void ricalcola();

    Clock& clock_;
    UserDefaults& impostazioni_;
    FrontApplication& frontale_;
    QString idPropria_;
    Lettori lettori_;

    Stati stati_;
    std::optional<FornitoreIA> inPrimoPiano_;
    FornitoreIA ultimoUsato_ = FornitoreIA::claude;
    bool attivo_ = false;
    RegoleUsoIA::Letture letture_;
    TimerHandle timer_;
    double periodo_ = 0;
    QMetaObject::Connection osservatoreApp_;
    // Counts the stops: a read queued before a stop is dropped even when
    // the monitor has started again by the time it comes back.
    quint64 generazione_ = 0;

    QThread coda_;
    QObject* lavoratore_ = nullptr; // lives on coda_
};
