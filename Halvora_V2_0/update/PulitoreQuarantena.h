#pragma once

#include <QString>
#include <functional>

class Clock;

// The application's only way to the quarantine service. Each call starts the
// service from the bundle with a fresh socket pair (its end as fd 3), sends
// the path and delivers exactly one answer on the GUI thread, whatever
// becomes of the service.
class PulitoreQuarantena {
public:
    static constexpr double kAttesa = 10.0;

    struct Opzioni {
        Clock* clock = nullptr; // the system clock when none
        QString servizio;       // "netteria" beside the application when empty
    };

    // Asks the service to strip the mark from the bundle at `bundle`. May be
    // called from any thread and returns at once; `completamento` runs once,
    // later, on the GUI thread: true only when the service said yes within
    // 10 s, false when it said no, is missing, crashed, closed without an
    // answer or stayed silent.
    static void pulisci(const QString& bundle, std::function<void(bool)> completamento, Opzioni o);
    static void pulisci(const QString& bundle, std::function<void(bool)> completamento)
    {
        pulisci(bundle, std::move(completamento), Opzioni{});
    }
};
