#pragma once

#include "CatenaSchede.h"
#include "LinguaManager.h"
#include "Molla.h"
#include "NotchGeometry.h"

#include <QWidget>
#include <memory>

class AttivitaManager;
class AvvioAlLogin;
class BarraSchede;
class PannelloAperto;
class BatteriaMonitor;
class Clock;
class MonitorSchermoIntero;
class NotchStateManager;
class RotazioneSchede;
class SettingsManager;
class SlotScheda;
class UserDefaults;
class X11Desktop;

// The single view inside the panel: the notch shape (closed strip or open
// panel) hanging from the top centre, under the closed notch at most one
// card, and the feature managers it owns for the whole run.
class RootNotchView : public QWidget {
    Q_OBJECT
public:
    // What the root view needs of the running desktop to build its managers.
    struct Servizi {
        Clock& clock;
        UserDefaults& impostazioni;
        X11Desktop& desktop;
        NotchGeometry::Posizione posizione;
        LinguaManager::Riavvio riavvio;
    };

    RootNotchView(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas, Servizi servizi,
                  QWidget* parent = nullptr);
    ~RootNotchView() override;

    // The notch frame as drawn now (it follows the state on springs).
    QRectF rettangoloTacca() const;
    SlotScheda* slot() const { return slot_; }
    CatenaSchede::Scheda schedaCorrente() const { return scheda_; }
    // Ends every running animation at once (renders, tests).
    void completaAnimazioni();

    SettingsManager& settingsManager() { return *settingsManager_; }
    LinguaManager& linguaManager() { return *linguaManager_; }
    BatteriaMonitor& batteriaMonitor() { return *batteriaMonitor_; }
    MonitorSchermoIntero& monitorSchermoIntero() { return *monitorSchermoIntero_; }
    RotazioneSchede& rotazione() { return *rotazione_; }
    BarraSchede& barra() { return *barra_; }
    PannelloAperto* pannelloAperto() const { return pannelloAperto_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QSizeF dimensioneTacca() const;
    QList<CatenaSchede::SchedaPersistente> idonee() const;
    CatenaSchede::Ingressi ingressi() const;
    void aggiornaTacca();
    void aggiornaSlot();
    void aggiornaVisibilitaScheda();
    void aggiornaRichiestaClick();
    void collega();
    void disponi();

    NotchStateManager& stato_;
    AttivitaManager& attivita_;
    Servizi servizi_;
    // The managers, in the order they are set up.
    std::unique_ptr<AvvioAlLogin> avvioAlLogin_;
    std::unique_ptr<SettingsManager> settingsManager_;
    std::unique_ptr<LinguaManager> linguaManager_;
    std::unique_ptr<BatteriaMonitor> batteriaMonitor_;
    std::unique_ptr<MonitorSchermoIntero> monitorSchermoIntero_;
    std::unique_ptr<RotazioneSchede> rotazione_;
    std::unique_ptr<BarraSchede> barra_;

    Molla larghezza_, altezza_;
    AnimatoreMolle animatore_;
    SlotScheda* slot_;
    PannelloAperto* pannelloAperto_;
    CatenaSchede::Scheda scheda_ = CatenaSchede::Scheda::nessuna;
};
