#include "RootNotchView.h"

#include "AggiornamentoManager.h"
#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "AvvioAlLoginXdg.h"
#include "BarraSchede.h"
#include "BatteriaMonitor.h"
#include "CalendarioManager.h"
#include "CalendarioView.h"
#include "CompositoreConDettatura.h"
#include "CameraManager.h"
#include "ClipboardManager.h"
#include "ClipboardView.h"
#include "Colori.h"
#include "CompactMediaCard.h"
#include "CostruttoreSchede.h"
#include "DownloadMonitor.h"
#include "DropManager.h"
#include "DesktopEntries.h"
#include "Disegno.h"
#include "EffettoStrato.h"
#include "GuidaView.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "MirrorView.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "PomodoroView.h"
#include "PropostaVideoCardView.h"
#include "RegistrazioneCopia.h"
#include "RotazioneSchede.h"
#include "X11Pasteboard.h"
#include "SettingsManager.h"
#include "SettingsView.h"
#include "SlotScheda.h"
#include "SmartTrayView.h"
#include "UserDefaults.h"
#include "VideoNotchManager.h"
#include "UsoIAMonitor.h"
#include "VoiceManager.h"
#include "VoiceMemoView.h"

#include <algorithm>
#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QStandardPaths>

using namespace CatenaSchede;


using namespace CatenaSchede;

RootNotchView::RootNotchView(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas, Servizi servizi,
                             QWidget* parent)
    : QWidget(parent), stato_(stato), attivita_(attivita), servizi_(std::move(servizi)), slot_(new SlotScheda(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    // The notch is dark: feature views draw their labels light.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    resize(canvas);
    // Each manager once, in the fixed order; a missing entry leaves it out.
    auto crea = [](const auto& f) { return f ? f() : nullptr; };
    const FabbricaManager& fabbrica = servizi_.fabbrica;
    dropManager_ = crea(fabbrica.drop);
    voiceManager_ = crea(fabbrica.voice);
    pomodoroManager_ = crea(fabbrica.pomodoro);
    mediaManager_ = crea(fabbrica.media);
    cameraManager_ = crea(fabbrica.camera);
    clipboardManager_ = crea(fabbrica.clipboard);
    // Launch at login starts the installed copy when there is one.
    avvioAlLogin_ =
        std::make_unique<AvvioAlLoginXdg>(AvvioAlLoginXdg::perUtente(RegistrazioneCopia::copiaDaAvviare(servizi_.posizione)));
    settingsManager_ = std::make_unique<SettingsManager>(servizi_.impostazioni, *avvioAlLogin_, servizi_.posizione);
    linguaManager_ = std::make_unique<LinguaManager>(servizi_.impostazioni, servizi_.riavvio);
    batteriaMonitor_ = std::make_unique<BatteriaMonitor>(servizi_.clock);
    downloadMonitor_ = crea(fabbrica.download);
    calendarioManager_ = crea(fabbrica.calendario);
    aggiornamentoManager_ = crea(fabbrica.aggiornamento);
    monitorSchermoIntero_ = std::make_unique<MonitorSchermoIntero>(servizi_.desktop);
    videoNotch_ = crea(fabbrica.video);
    usoIA_ = crea(fabbrica.usoIA);
    costruttore_ = std::make_unique<CostruttoreSchede>(CostruttoreSchede::Fonti{
        .clock = servizi_.clock,
        .media = mediaManager_.get(),
        .voce = voiceManager_.get(),
        .pomodoro = pomodoroManager_.get(),
        .calendario = calendarioManager_.get(),
        .video = videoNotch_.get(),
        .aggiornamento = aggiornamentoManager_.get(),
        .installazione = servizi_.installazione,
        .chiudiInstallazione = [this] { stato_.setInstallazioneDaSistemare(false); },
    });
    rotazione_ = std::make_unique<RotazioneSchede>(servizi_.clock, [this] { return idonee().size(); });
    barra_ = std::make_unique<BarraSchede>(stato_, servizi_.clock);
    pannelloAperto_ = new PannelloAperto(stato_, *barra_, servizi_.clock, this);
    pannelloAperto_->setAzionePower([this] { barra_->fermaTutto(passiPower()); });
    pannelloAperto_->setCostruttoreModulo([this](NotchTab tab) { return creaModulo(tab); });
    pannelloAperto_->setCostruttoreImpostazioni([this] {
        auto* pagina = new SettingsView(*settingsManager_, *linguaManager_, servizi_.scorciatoia,
                                        clipboardManager_.get(), aggiornamentoManager_.get(), appunti(),
                                        applicazioni(), servizi_.clock);
        connect(pagina, &SettingsView::chiudi, this, [this] { setShowSettings(false); });
        connect(pagina, &SettingsView::rivediGuida, this, &RootNotchView::rivediGuida);
        return pagina;
    });
    pannelloAperto_->setCostruttoreGuida([this] {
        auto* guida = new GuidaView(appunti(), servizi_.clock);
        connect(guida, &GuidaView::onFine, this, &RootNotchView::fineGuida);
        return guida;
    });
    // What the open content shows changed while it is drawn as a picture.
    connect(pannelloAperto_, &PannelloAperto::aspettoCambiato, this, [this] {
        if (auto* strato = qobject_cast<EffettoStrato*>(pannelloAperto_->graphicsEffect()))
            strato->invalida();
    });
    connect(barra_.get(), &BarraSchede::showSettingsChanged, this,
            [this] { emit showSettingsChanged(barra_->showSettings()); });

    preparaMolle();
    // The exit of a card is cut by the notch shape: an opening notch covers it.
    slot_->setSotto([this] { return formaDisegnata(); });
    slot_->setRiponi([this](QWidget* scheda) { return riponi(scheda); });
    collega();
    if (mediaManager_)
        aggiornaIntervalloMedia();
    if (aggiornamentoManager_)
        aggiornamentoManager_->controllaSeDovuto();
    rotazione_->avvia();
    aggiornaSlot();
    disponi();
}

RootNotchView::~RootNotchView()
{
    // The managers go before this widget's children: what they announce on
    // the way out must not reach a half-destroyed view.
    for (QObject* m : std::initializer_list<QObject*>{voiceManager_.get(), pomodoroManager_.get(),
                                                       calendarioManager_.get()})
        if (m)
            m->disconnect(this);
    // The views go while the managers they show are still there: a card (the
    // video's) calls its manager on its way out.
    QList<QPointer<QWidget>> viste;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        viste << w;
    for (const QPointer<QWidget>& w : std::as_const(viste))
        delete w.data();
}

QList<BarraSchede::Passo> RootNotchView::passiPower()
{
    // Media, camera, recording, pomodoro: each stopped only while it runs.
    QList<BarraSchede::Passo> passi;
    if (auto* m = mediaManager_.get())
        passi.append({[m] { return m->isPlaying(); }, [m] { m->togglePlayPause(); }});
    if (auto* c = cameraManager_.get())
        passi.append({[c] { return c->isSessionRunning(); }, [c] { c->fermaSessione(); }});
    if (auto* v = voiceManager_.get())
        passi.append({[v] { return v->isRecording(); }, [v] { v->stopRecording(); }});
    if (auto* p = pomodoroManager_.get())
        passi.append({[p] { return p->isActive(); },
                      [p] {
                          p->pauseTimer();
                          p->setSessionState(PomodoroSessionState::paused);
                      }});
    return passi;
}

QWidget* RootNotchView::creaModulo(NotchTab tab)
{
    // Tabs whose feature has no view here, or no manager, stay empty areas.
    switch (tab) {
    case NotchTab::media:
        return mediaManager_ ? new MediaPlayerView(*mediaManager_, [this] { guardaVideoBrowser(); }) : nullptr;
    case NotchTab::memo:
        return voiceManager_ ? new VoiceMemoView(*voiceManager_) : nullptr;
    case NotchTab::clipboard:
        return clipboardManager_ ? new ClipboardView(*clipboardManager_) : nullptr;
    case NotchTab::tray: {
        if (!dropManager_)
            return nullptr;
        auto* vassoio = new SmartTrayView(*dropManager_);
        vassoio->setRichiami({
            // The panel closes at once and turns invisible, out of the picture.
            .onRequestHideNotch =
                [this] {
                    stato_.chiudiSubito();
                    stato_.setCatturaInCorso(true);
                },
            .onCatturaCompletata = [this](const QUrl& file) { annunciaScreenshot(file); },
            // A refused second capture must not bring the panel back over the first.
            .onCatturaTerminata = [this] { stato_.setCatturaInCorso(dropManager_->catturaAttiva()); },
            .onConversioneCompletata = [this](const QString& titolo, const QUrl& file) {
                annunciaConversione(titolo, file);
            },
            .onMenuConversione = [this](bool aperto) { stato_.setMenuAperto(aperto); },
            .appunti = &appunti(),
        });
        return vassoio;
    }
    case NotchTab::calendario:
        if (!calendarioManager_)
            return nullptr;
        if (!compositore_)
            compositore_ = std::make_unique<CompositoreConDettatura>(*calendarioManager_, servizi_.clock,
                                                                     servizi_.impostazioni);
        return new CalendarioView(*calendarioManager_, servizi_.clock, compositore_->compositore());
    case NotchTab::mirror:
        return cameraManager_ ? new MirrorView(*cameraManager_) : nullptr;
    case NotchTab::pomodoro:
        return pomodoroManager_ ? new PomodoroView(*pomodoroManager_, Colori::arancione()) : nullptr;
    }
    return nullptr;
}

bool RootNotchView::showSettings() const
{
    return barra_->showSettings();
}

void RootNotchView::setShowSettings(bool mostra)
{
    barra_->setShowSettings(mostra);
}

void RootNotchView::rivediGuida()
{
    setShowSettings(false);
    stato_.enterGuideMode();
}

void RootNotchView::fineGuida()
{
    // Stored before guide mode ends, so a relaunch right now skips it too.
    servizi_.impostazioni.setValue(QStringLiteral("guidaVista"), true);
    stato_.leaveGuideMode();
}

void RootNotchView::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (mostrata_)
        return;
    mostrata_ = true;
    anticipaForme();
    // Once start-up has settled, every tab's module is built and drawn once,
    // so that the first change to each finds what it needs ready.
    riscaldo_ = servizi_.clock.singleShot(2.0, [this] { pannelloAperto_->areaSchede().riscalda(); });
    // The guide opens by itself on the first run, once the panel is up.
    guidaIniziale_ = servizi_.clock.singleShot(1.2, [this] {
        if (!servizi_.impostazioni.boolValue(QStringLiteral("guidaVista"), false)
            && !stato_.installazioneDaSistemare() && !stato_.modalitaGuida())
            stato_.enterGuideMode();
    });
}

Pasteboard& RootNotchView::appunti()
{
    if (servizi_.fabbrica.appunti)
        return servizi_.fabbrica.appunti();
    if (!appuntiPropri_)
        appuntiPropri_ = std::make_unique<X11Pasteboard>();
    return *appuntiPropri_;
}

const DesktopEntries& RootNotchView::applicazioni() const
{
    static const DesktopEntries nessuna;
    return servizi_.fabbrica.applicazioni ? *servizi_.fabbrica.applicazioni : nessuna;
}
