#pragma once

#include "AttivitaManager.h"
#include "Installazione.h"
#include "FabbricaManager.h"
#include "LinguaManager.h"
#include "NotchGeometry.h"
#include "NotchStateManager.h"
#include "PuliziaAvvio.h"
#include "SchemaURL.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <memory>
#include <optional>

class Clock;
class NotchAccessRouter;
class NotchPanel;
class Puntatore;
class Screens;
class ScorciatoiaTacca;
class TracciamentoPannello;
class UserDefaults;
class StatoDesktop;

// Owns the notch state and the notice queue for the whole run, builds the
// panel at launch and keeps it placed, tracked and reachable by hot key.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static constexpr QSize kCanvas{800, 600};
    static constexpr double kRitardoAvvisoPosizione = 1.0;

    struct Dipendenze {
        Clock& clock;
        Screens& schermi;
        Puntatore& puntatore;
        UserDefaults& impostazioni;
        ScorciatoiaTacca& scorciatoia;
        SchemaURL::Contesto contestoURL;
        NotchGeometry::Posizione posizione;
        // What the desktop tells of full screen; the X server's (EWMH) when absent.
        StatoDesktop* desktop = nullptr;
        // How a language change relaunches the application.
        LinguaManager::Riavvio riavvio = LinguaManager::Riavvio::processoCorrente();
        // The root view's feature managers; none when not given.
        FabbricaManager fabbrica = {};
        // Opens another copy of the application as a new instance and says
        // whether it runs; without one no switch ever succeeds.
        Installazione::Richiesta rilancia = {};
    };

    explicit AppDelegate(Dipendenze d, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence, in its fixed order.
    void applicationDidFinishLaunching();
    // URLs handed to the application (first launch and later launches).
    void apriURL(const QList<QUrl>& urls);

    void posizionaPannello();
    // The current desktop changed: close at once.
    void activeSpaceDidChange();
    // Another application became active (its pid when known): close at once,
    // unless it is this process.
    void anotherAppDidActivate(std::optional<qint64> pid);

    NotchStateManager& stateManager() { return stateManager_; }
    AttivitaManager& attivitaManager() { return attivitaManager_; }
    NotchPanel* window() const;
    NotchAccessRouter* router() const { return router_; }
    TracciamentoPannello* tracciamento() const { return tracciamento_.get(); }
    Installazione& installazione() { return *installazione_; }

private:
    void creaPannello();
    void collegaStato();
    void installaMonitorMouse();
    void osservaImpostazioni();
    void osservaTrascinamento();
    void programmaAvvisoPosizione();
    void registraScorciatoia();
    void attivaDiagnostica();
    // Launch steps whose work belongs to the updates subsystem: what an
    // interrupted copy left and the hand-over of a translocated copy, then
    // the rename notice and the duplicate copies after 2.5 s.
    void controllaTrasloco();
    void controllaRinominaECopie();

    Dipendenze d_;
    NotchStateManager stateManager_;
    AttivitaManager attivitaManager_;
    std::unique_ptr<Installazione> installazione_;
    std::unique_ptr<PuliziaAvvio> pulizia_;
    QPointer<NotchPanel> window_;
    NotchAccessRouter* router_ = nullptr;
    std::unique_ptr<TracciamentoPannello> tracciamento_;
    TimerHandle avvisoPosizione_;
};
