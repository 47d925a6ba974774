#pragma once

#include "NotchGeometry.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>

class Clock;
class UserDefaults;

// Bringing the running copy to ~/Applications and switching to the copy
// there: the launch-time hand-over of a translocated copy, the installation
// the installation card asks for, the file manager as the fallback, and the
// removal of what an interrupted copy left. GUI thread; the copy itself
// runs on a worker of its own.
class Installazione : public QObject {
    Q_OBJECT
public:
    static constexpr double kPausaTrasloco = 120.0;
    static inline const QString kUltimaUscita = QStringLiteral("ultimaUscitaDalTrasloco");

    // What installIntoApplications reports.
    enum class Esito {
        nienteDaRiferire,         // already there, or switching to the new copy
        inApplicazioniNonPassata, // a copy is there; this one goes on running
        fallita,                  // the copy failed; the message says why
    };
    struct Risultato {
        Esito esito;
        QString messaggio;
    };

    using Richiesta = std::function<void(const QString& bundle, std::function<void(bool)> risposta)>;

    struct Dipendenze {
        Clock& clock;
        UserDefaults& impostazioni;
        NotchGeometry::Posizione posizione;
        // relaunchFrom: opens the bundle as a new instance; true once it runs.
        Richiesta rilancia;
        // The quarantine service's answer for a bundle; PulitoreQuarantena when empty.
        Richiesta pulisci = {};
        // Shows folders and selects entries in the file manager; the
        // desktop's file manager when empty.
        std::function<void(const QString& cartella, const QString& voce)> mostra = {};
    };

    explicit Installazione(Dipendenze d, QObject* parent = nullptr);
    ~Installazione() override;

    // ~/Applications plus the running bundle's folder name.
    QString destinazione() const;

    // At launch: a translocated image of the installed copy hands over to
    // it, once the service cleared it and at most once in 120 s.
    void checkRelocationAtLaunch();
    // The card's "Installa". `completamento` runs once on the GUI thread:
    // at once when nothing is copied, otherwise later.
    void installIntoApplications(std::function<void(Risultato)> completamento);
    // The card's "Mostra": the Applications folder, and the running bundle
    // selected where it lies, for the user to drag.
    void revealInstalledCopy();
    // The card's "Apri": switches to the installed copy; this instance
    // quits once the new one runs.
    void apriCopiaInstallata();
    // Removes on the worker what an interrupted copy left in ~/Applications.
    void rimuoviCopieInterrotte();

    // Waits until the worker is idle (tests, shutdown).
    void attendi();

private:
    void richiedi(const Richiesta& r, const QString& bundle, std::function<void(bool)> risposta);
    static void mostraNelFileManager(const QString& cartella, const QString& voce);

    Dipendenze d_;
    QThreadPool lavoratore_;
};
