#pragma once

#include "Clock.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Every switch to another copy of the application goes through here: the
// copy starts as a new instance, and this one quits only once the new one
// listens on the single-instance socket and the caller has reported. While
// the new one starts, this instance lets go of the single-instance socket
// and the hot key so that it can take them, and takes them back when it
// does not listen within 6 s.
class Rilancio : public QObject {
    Q_OBJECT
public:
    static constexpr double kIntervallo = 0.25;
    static constexpr double kLimite = 6.0;

    struct Dipendenze {
        Clock& clock;
        QString socketIstanza;          // where the running copy listens
        std::function<void()> rilascia; // the single-instance socket and the hot key
        std::function<void()> riprendi;
        std::function<void()> esci;
    };

    explicit Rilancio(Dipendenze d, QObject* parent = nullptr);
    ~Rilancio() override;

    // Starts the executable that the bundle's Info.json names ("halvora"
    // when it names none) as a new instance. `reazione` runs once, later, on
    // the GUI thread: true when the new instance listens, and then this
    // application quits; false when it could not start or did not listen in
    // time, and this one goes on.
    void relaunchFrom(const QString& bundle, std::function<void(bool)> reazione);

    // The process listening on the Unix socket at `socket`, when one does.
    static std::optional<qint64> pidInAscolto(const QString& socket);

private:
    struct Tentativo;
    void sonda(Tentativo& t, int contatore);
    void finisci(Tentativo& t, bool riuscito);

    Dipendenze d_;
    std::vector<std::unique_ptr<Tentativo>> tentativi_;
};
