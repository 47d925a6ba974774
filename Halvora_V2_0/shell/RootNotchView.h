#pragma once

#include "AggiornamentoCardView.h"
#include "BarraSchede.h"
#include "CatenaSchede.h"
#include "ContenutoScheda.h"
#include "Clock.h"
#include "CostruttoreSchede.h"
#include "FabbricaManager.h"
#include "ImmaginiTacca.h"
#include "Impegno.h"
#include "LinguaManager.h"
#include "Molla.h"
#include "NotchGeometry.h"
#include "RegoleUsoIA.h"
#include "UsoIAMonitor.h"

#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>

class AttivitaManager;
class AvvioAlLogin;
class BarraSchede;
class PannelloAperto;
class BatteriaMonitor;
class DownloadMonitor;
class Installazione;
class Clock;
class CompositoreConDettatura;
class MonitorSchermoIntero;
class NotchStateManager;
class RotazioneSchede;
class Pasteboard;
class ScorciatoiaTacca;
class SettingsManager;
class SlotScheda;
class UserDefaults;
class VideoNotchManager;
class StatoDesktop;

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
        StatoDesktop& desktop;
        NotchGeometry::Posizione posizione;
        LinguaManager::Riavvio riavvio;
        // The feature managers; none when not given.
        FabbricaManager fabbrica = {};
        // The hot key, for the settings page's warning; none when not given.
        ScorciatoiaTacca* scorciatoia = nullptr;
        // What the installation card drives; without it the card is not built.
        Installazione* installazione = nullptr;
    };

    RootNotchView(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas, Servizi servizi,
                  QWidget* parent = nullptr);
    ~RootNotchView() override;

    // The notch frame as drawn now (it follows the state on springs), and
    // the shape drawn in it.
    QRectF rettangoloTacca() const;
    QPainterPath formaDisegnata() const;
    SlotScheda* slot() const { return slot_; }
    CatenaSchede::Scheda schedaCorrente() const { return scheda_; }
    // Ends every running animation at once (renders, tests).
    void completaAnimazioni();

    // The settings page in place of the tabs; the gear toggles it, the
    // page's way back clears it and closing the notch clears it too.
    bool showSettings() const;
    void setShowSettings(bool mostra);
    // From the settings page: back to the tabs, then the guide.
    void rivediGuida();
    // The guide has ended: it is not shown again at start.
    void fineGuida();

    // The notices of other features' events.
    void annunciaFileScaricato(const std::optional<QUrl>& file);
    void annunciaScreenshot(const QUrl& file);
    void annunciaConversione(const QString& titolo, const QUrl& file);
    void annunciaLimiteAzzerato(const UsoIAMonitor::DiNuovoDisponibile& evento);

    SettingsManager& settingsManager() { return *settingsManager_; }
    LinguaManager& linguaManager() { return *linguaManager_; }
    BatteriaMonitor& batteriaMonitor() { return *batteriaMonitor_; }
    MonitorSchermoIntero& monitorSchermoIntero() { return *monitorSchermoIntero_; }
    RotazioneSchede& rotazione() { return *rotazione_; }
    BarraSchede& barra() { return *barra_; }
    PannelloAperto* pannelloAperto() const { return pannelloAperto_; }
    // The feature managers; null when the factory made none.
    DropManager* dropManager() const { return dropManager_.get(); }
    VoiceManager* voiceManager() const { return voiceManager_.get(); }
    PomodoroManager* pomodoroManager() const { return pomodoroManager_.get(); }
    MediaManager* mediaManager() const { return mediaManager_.get(); }
    CameraManager* cameraManager() const { return cameraManager_.get(); }
    ClipboardManager* clipboardManager() const { return clipboardManager_.get(); }
    DownloadMonitor* downloadMonitor() const { return downloadMonitor_.get(); }
    CalendarioManager* calendarioManager() const { return calendarioManager_.get(); }
    AggiornamentoManager* aggiornamentoManager() const { return aggiornamentoManager_.get(); }
    VideoNotchManager* videoNotch() const { return videoNotch_.get(); }
    UsoIAMonitor* usoIA() const { return usoIA_.get(); }

    // Where the material is drawn now (the notch shape and the card under
    // it), in this view's coordinates.
    QRegion regioneMateriale() const;
    // The open content's opacity now, and the strip marker's.
    double opacitaContenuto() const;
    double opacitaSegno() const;

signals:
    void showSettingsChanged(bool mostra);
    // Another kind of card hangs under the notch (or none).
    void schedaCambiata();
    void regioneMaterialeCambiata(const QRegion& regione);

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent* e) override;

private:
    // What the notch's shape is moving to.
    enum class MetaForma { chiusa, scheda, impostazioni, guida };
    // The spring a change of the shape's target moves on: the guide comes
    // and goes, and the panel turns to the settings page and back, on
    // springs of their own; everything else on the shape's.
    static CostantiMolla mollaCambio(MetaForma da, MetaForma a);
    QSizeF dimensioneTacca() const;
    MetaForma metaForma() const;
    // The shape's frame at rest for the current state, and where the shape
    // with its shadows is drawn now.
    QRectF rettangoloObiettivo() const;
    QRect areaTacca() const;
    // The shape has drawn in to the closed strip's height.
    bool formaAlLembo() const;
    void preparaMolle();
    // A step of the springs: the frame it makes.
    void passoForma();
    void ridisegnaForma();
    // What a frame shows of the springs: the shape in device pixels and
    // the content's opacity in steps of 1/255.
    struct Fotogramma {
        QRect forma;
        int opacita = -1;
        bool operator==(const Fotogramma&) const = default;
    };
    Fotogramma fotogramma() const;
    Fotogramma fotogramma(const QRectF& forma, double opacita) const;
    // The shapes the springs given will pass through to their targets;
    // with `soloDisegnati`, those alone that change a pixel.
    QList<QRectF> percorso(Molla larghezza, Molla altezza, Molla apertura, bool soloDisegnati) const;
    // Has the worker draw the low shapes the springs will pass through on
    // their way to their targets, or, closed at rest, on the next opening.
    void anticipaForme();
    Pasteboard& appunti();
    const DesktopEntries& applicazioni() const;
    QList<CatenaSchede::SchedaPersistente> idonee() const;
    CatenaSchede::Ingressi ingressi() const;
    QWidget* creaModulo(NotchTab tab);
    QList<BarraSchede::Passo> passiPower();
    bool usoIAPresente() const;
    bool allarmeAttivo() const;
    bool impegnoDaMostrare() const;
    void aggiornaTimerAttivo();
    void aggiornaRegistrazioneAttiva();
    void aggiornaMediaAttivo();
    void aggiornaIntervalloMedia();
    void aggiornaTacca();
    void aggiornaSlot();
    // The card a closing notch will bring back, made between two of its frames.
    void preparaSlot();
    CatenaSchede::ContenutoScheda contenutoDovuto(CatenaSchede::Scheda nuova) const;
    CostruttoreSchede::Costruita costruisciScheda(CatenaSchede::Scheda nuova,
                                                  const CatenaSchede::ContenutoScheda& dovuto);
    bool prontaPer(CatenaSchede::Scheda nuova, const CatenaSchede::ContenutoScheda& dovuto) const;
    // Keeps a persistent card that leaves the slot, so that the rotation
    // brings it back as it is; false when it is not one to keep.
    bool riponi(QWidget* scheda);
    // The kept card of that kind and content, handed over; none when there is none.
    std::optional<CostruttoreSchede::Costruita> ripresa(CatenaSchede::Scheda nuova,
                                                        const CatenaSchede::ContenutoScheda& dovuto);
    void aggiornaVisibilitaScheda();
    void aggiornaRichiestaClick();
    void aggiornaAnelloUsoIA();
    void collegaReazioni();
    // The notch video: its session source, offers on activations, the
    // media tab's action and the browser play/pause of the media manager.
    void collegaVideo();
    void guardaVideoBrowser();
    QWidget* creaSchedaVideo(QRectF& area);
    // The update card's fields from the update manager, and its wiring.
    std::optional<AggiornamentoCardView::Campi> campiAggiornamento() const;
    void collegaAggiornamento();
    void collega();
    void disponi();

    NotchStateManager& stato_;
    AttivitaManager& attivita_;
    Servizi servizi_;
    // The managers, in the order they are set up.
    std::unique_ptr<DropManager> dropManager_;
    std::unique_ptr<VoiceManager> voiceManager_;
    std::unique_ptr<PomodoroManager> pomodoroManager_;
    std::unique_ptr<MediaManager> mediaManager_;
    std::unique_ptr<CameraManager> cameraManager_;
    std::unique_ptr<ClipboardManager> clipboardManager_;
    std::unique_ptr<AvvioAlLogin> avvioAlLogin_;
    std::unique_ptr<SettingsManager> settingsManager_;
    std::unique_ptr<LinguaManager> linguaManager_;
    std::unique_ptr<BatteriaMonitor> batteriaMonitor_;
    std::unique_ptr<DownloadMonitor> downloadMonitor_;
    std::unique_ptr<CalendarioManager> calendarioManager_;
    // The calendar tab's composer, made with the tab's first build and kept
    // after, so what the user typed outlasts the tab.
    std::unique_ptr<CompositoreConDettatura> compositore_;
    std::unique_ptr<AggiornamentoManager> aggiornamentoManager_;
    std::unique_ptr<MonitorSchermoIntero> monitorSchermoIntero_;
    std::unique_ptr<VideoNotchManager> videoNotch_;
    std::unique_ptr<UsoIAMonitor> usoIA_;
    std::unique_ptr<RotazioneSchede> rotazione_;
    std::unique_ptr<BarraSchede> barra_;
    std::unique_ptr<CostruttoreSchede> costruttore_;
    // The clipboard of a root view built without the desktop's.
    std::unique_ptr<Pasteboard> appuntiPropri_;
    TimerHandle guidaIniziale_, riscaldo_;
    bool mostrata_ = false;

    Molla larghezza_, altezza_;
    // How far the open content has come in (0 closed, 1 open): the content
    // fades in and out with it, the strip marker the other way.
    Molla apertura_;
    AnimatoreMolle animatore_;
    MetaForma metaForma_ = MetaForma::chiusa; // the springs' last target
    ImmaginiTacca immagini_;
    QRect areaDisegnata_; // the shape's area at the last frame
    Fotogramma ultimo_;
    // The open notch changes size with its content all in: the content
    // follows the shape, over the panel laid on every frame of the way.
    bool segueForma_ = false;
    QRect tela_;
    // The frame the open content is laid out in (closing, the last one).
    QRectF corniceAperta_;
    // A card waits for the closing shape to reach the strip.
    bool slotRimandato_ = false;
    // That card, made ahead, and what it was made with.
    struct SchedaPronta {
        CatenaSchede::Scheda tipo;
        CatenaSchede::ContenutoScheda contenuto;
        CostruttoreSchede::Costruita costruita;
        QPointer<QWidget> vista;
    };
    std::optional<SchedaPronta> pronta_;
    // The card in the slot, and those that left it and may come back.
    std::optional<SchedaPronta> corrente_;
    QList<SchedaPronta> riposte_;
    // The card changes because the rotation moved on: its own spring.
    bool daRotazione_ = false;
    SlotScheda* slot_;
    PannelloAperto* pannelloAperto_;
    CatenaSchede::Scheda scheda_ = CatenaSchede::Scheda::nessuna;
    // What the card in the slot was built with.
    CatenaSchede::ContenutoScheda contenuto_;
    QRegion regioneMateriale_;
};
