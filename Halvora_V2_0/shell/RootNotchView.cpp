#include "RootNotchView.h"

#include "AggiornamentoManager.h"
#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "AvvioAlLoginXdg.h"
#include "BarraSchede.h"
#include "BatteriaMonitor.h"
#include "CalendarioManager.h"
#include "CalendarioView.h"
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
#include "FormaTacca.h"
#include "GuidaView.h"
#include "GeometriaPannello.h"
#include "MediaManager.h"
#include "MediaPlayerView.h"
#include "MirrorView.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "PomodoroView.h"
#include "PropostaVideoCardView.h"
#include "RotazioneSchede.h"
#include "X11Pasteboard.h"
#include "SettingsManager.h"
#include "SettingsView.h"
#include "SchedaChiusa.h"
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
#include <QPropertyAnimation>
#include <QStandardPaths>

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
    avvioAlLogin_ = std::make_unique<AvvioAlLoginXdg>(
        QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + QStringLiteral("/autostart"),
        QCoreApplication::applicationFilePath());
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

    const QSizeF iniziale = dimensioneTacca();
    larghezza_.salta(iniziale.width());
    altezza_.salta(iniziale.height());
    apertura_.salta(stato_.currentState() == NotchState::expanded ? 1 : 0);
    animatore_.segui(&larghezza_);
    animatore_.segui(&altezza_);
    animatore_.segui(&apertura_);
    connect(&animatore_, &AnimatoreMolle::passo, this, [this] {
        // A step that changes no pixel (the springs' long tail) draws nothing.
        const Fotogramma ora = fotogramma();
        if (animatore_.attivo() && ora == ultimo_)
            return;
        ultimo_ = ora;
        disponi();
        if (!animatore_.attivo())
            anticipaForme(); // the next opening's
        // Only where the shape was and is now.
        const QRect area = areaTacca();
        update(area.united(areaDisegnata_));
        areaDisegnata_ = area;
    });
    connect(&immagini_, &ImmaginiTacca::pronta, this, [this] { update(areaTacca()); });
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
        return calendarioManager_ ? new CalendarioView(*calendarioManager_, servizi_.clock, servizi_.impostazioni)
                                  : nullptr;
    case NotchTab::mirror:
        return cameraManager_ ? new MirrorView(*cameraManager_) : nullptr;
    case NotchTab::pomodoro:
        return pomodoroManager_ ? new PomodoroView(*pomodoroManager_, Colori::arancione()) : nullptr;
    }
    return nullptr;
}

void RootNotchView::collega()
{
    collegaAggiornamento();
    connect(&stato_, &NotchStateManager::cambiato, this, [this] {
        aggiornaTacca();
        aggiornaSlot();
        disponi();
        if (!animatore_.attivo())
            anticipaForme(); // the tab or the mode the next opening goes to may have changed
        const QRect area = areaTacca();
        update(area.united(areaDisegnata_));
        areaDisegnata_ = area;
    });
    // The flags are first computed when a value they depend on changes.
    auto ricalcola = [this] {
        aggiornaVisibilitaScheda();
        aggiornaRichiestaClick();
        aggiornaSlot();
    };
    connect(&attivita_, &AttivitaManager::correnteChanged, this, ricalcola);
    connect(monitorSchermoIntero_.get(), &MonitorSchermoIntero::attivoChanged, this, ricalcola);
    if (videoNotch_) {
        connect(videoNotch_.get(), &VideoNotchManager::statoChanged, this, ricalcola);
        connect(videoNotch_.get(), &VideoNotchManager::propostaChanged, this, ricalcola);
        collegaVideo();
    }
    connect(&stato_, &NotchStateManager::isMediaActiveChanged, this, ricalcola);
    connect(&stato_, &NotchStateManager::isTimerAttivoChanged, this, ricalcola);
    connect(&stato_, &NotchStateManager::registrazioneAttivaChanged, this, ricalcola);
    connect(settingsManager_.get(), &SettingsManager::mostraProssimoImpegnoChanged, this, ricalcola);
    connect(rotazione_.get(), &RotazioneSchede::indiceChanged, this, &RootNotchView::aggiornaSlot);
    if (mediaManager_) {
        connect(&stato_, &NotchStateManager::currentStateChanged, this, &RootNotchView::aggiornaIntervalloMedia);
        connect(&stato_, &NotchStateManager::activeTabChanged, this, &RootNotchView::aggiornaIntervalloMedia);
        connect(&stato_, &NotchStateManager::isMediaActiveChanged, this, &RootNotchView::aggiornaIntervalloMedia);
        connect(mediaManager_.get(), &MediaManager::isPlayingChanged, this, &RootNotchView::aggiornaMediaAttivo);
        connect(mediaManager_.get(), &MediaManager::trackTitleChanged, this, &RootNotchView::aggiornaMediaAttivo);
        connect(settingsManager_.get(), &SettingsManager::mostraSchedaMediaChanged, this,
                &RootNotchView::aggiornaMediaAttivo);
    }
    connect(&stato_, &NotchStateManager::activeTabChanged, this, [this] {
        if (calendarioManager_ && stato_.activeTab() == NotchTab::calendario)
            calendarioManager_->avvia();
        if (cameraManager_ && stato_.activeTab() != NotchTab::mirror)
            cameraManager_->fermaSessione();
    });
    connect(&stato_, &NotchStateManager::currentStateChanged, this, [this] {
        if (stato_.currentState() != NotchState::compact)
            return;
        if (cameraManager_)
            cameraManager_->fermaSessione();
        barra_->setShowSettings(false);
    });
    if (pomodoroManager_) {
        connect(pomodoroManager_.get(), &PomodoroManager::isActiveChanged, this, &RootNotchView::aggiornaTimerAttivo);
        connect(pomodoroManager_.get(), &PomodoroManager::allarmeAttivoChanged, this, [this] {
            aggiornaRichiestaClick();
            aggiornaTimerAttivo();
            aggiornaVisibilitaScheda();
            aggiornaSlot();
        });
    }
    connect(settingsManager_.get(), &SettingsManager::mostraSchedaTimerChanged, this,
            &RootNotchView::aggiornaTimerAttivo);
    if (voiceManager_)
        connect(voiceManager_.get(), &VoiceManager::isRecordingChanged, this,
                &RootNotchView::aggiornaRegistrazioneAttiva);
    if (calendarioManager_) {
        connect(calendarioManager_.get(), &CalendarioManager::prossimoChanged, this, [this] {
            aggiornaVisibilitaScheda();
            aggiornaSlot();
        });
        connect(calendarioManager_.get(), &CalendarioManager::daAvvisareChanged, this, ricalcola);
    }
    if (usoIA_) {
        connect(usoIA_.get(), &UsoIAMonitor::statiChanged, this, ricalcola);
        connect(usoIA_.get(), &UsoIAMonitor::inPrimoPianoChanged, this, ricalcola);
        connect(settingsManager_.get(), &SettingsManager::mostraUsoIAChanged, this, [this, ricalcola] {
            usoIA_->setAttivo(settingsManager_->mostraUsoIA());
            ricalcola();
        });
        usoIA_->setAttivo(settingsManager_->mostraUsoIA());
    }
    collegaReazioni();
    connect(&stato_, &NotchStateManager::isMediaCardHoveredChanged, this, [this] {
        if (auto* media = qobject_cast<CompactMediaCard*>(slot_->scheda()))
            media->setOndeAnimate(!stato_.isMediaCardHovered());
        QWidget* card = slot_->scheda();
        if (!card || !sbiadisceAlPassaggio(scheda_, allarmeAttivo()))
            return;
        // Fading cards give way to the pointer, ease-in-out over 0.22 s. The
        // effect comes only for the fade: a card drawn through one repaints
        // more dearly with each frame of what moves on it.
        auto* effetto = qobject_cast<QGraphicsOpacityEffect*>(card->graphicsEffect());
        if (!effetto) {
            effetto = new QGraphicsOpacityEffect(card);
            card->setGraphicsEffect(effetto);
        }
        auto* a = new QPropertyAnimation(effetto, "opacity", effetto);
        a->setDuration(220);
        a->setEasingCurve(QEasingCurve::InOutQuad);
        a->setEndValue(stato_.isMediaCardHovered() ? 0.0 : 1.0);
        // Let go of after the animation, which the effect owns, has ended.
        connect(
            a, &QAbstractAnimation::finished, card,
            [card, effetto] {
                if (card->graphicsEffect() == effetto && effetto->opacity() >= 1)
                    card->setGraphicsEffect(nullptr);
            },
            Qt::QueuedConnection);
        a->start(QAbstractAnimation::DeleteWhenStopped);
    });
}

QList<SchedaPersistente> RootNotchView::idonee() const
{
    return CatenaSchede::idonee(stato_.registrazioneAttiva(), stato_.isTimerAttivo(), impegnoDaMostrare(),
                                usoIAPresente(), stato_.isMediaActive());
}

Ingressi RootNotchView::ingressi() const
{
    Ingressi in;
    in.chiusa = stato_.currentState() == NotchState::compact;
    in.schermoIntero = monitorSchermoIntero_->attivo();
    in.allarmeAttivo = allarmeAttivo();
    in.promemoriaDaAvvisare = calendarioManager_ && calendarioManager_->daAvvisare().has_value();
    in.impegnoPresente = calendarioManager_ && calendarioManager_->prossimo().has_value();
    in.video = videoNotch_ ? videoNotch_->stato().tipo : StatoVideo::chiuso;
    in.propostaVideo = videoNotch_ && videoNotch_->proposta().has_value();
    in.installazioneDaSistemare = stato_.installazioneDaSistemare();
    in.aggiornamentoDisponibile = aggiornamentoManager_ && !aggiornamentoManager_->versioneDisponibile().isEmpty();
    in.attivitaCorrente = attivita_.corrente().has_value();
    in.usoIAPresente = usoIAPresente();
    in.persistente = correntePersistente(idonee(), rotazione_->indice());
    return in;
}

void RootNotchView::aggiornaIntervalloMedia()
{
    const bool suMedia = stato_.currentState() == NotchState::expanded && stato_.activeTab() == NotchTab::media;
    const double intervallo = suMedia ? 1.5 : stato_.isMediaActive() ? 3.0 : 6.0;
    if (intervallo == mediaManager_->intervalloCorrente())
        return;
    mediaManager_->setIntervalloCorrente(intervallo);
    mediaManager_->avviaTimer();
    mediaManager_->aggiornaIntervalloSorgente();
}

bool RootNotchView::usoIAPresente() const
{
    return usoIA_ && settingsManager_->mostraUsoIA() && usoIA_->statoPerTacca().has_value();
}

bool RootNotchView::allarmeAttivo() const { return pomodoroManager_ && pomodoroManager_->allarmeAttivo(); }

bool RootNotchView::impegnoDaMostrare() const
{
    return settingsManager_->mostraProssimoImpegno() && calendarioManager_ && calendarioManager_->prossimo();
}

void RootNotchView::aggiornaTimerAttivo()
{
    const bool attivo =
        settingsManager_->mostraSchedaTimer() && pomodoroManager_
        && (pomodoroManager_->isActive() || pomodoroManager_->allarmeAttivo());
    if (attivo == stato_.isTimerAttivo())
        return;
    stato_.setIsTimerAttivo(attivo);
    aggiornaVisibilitaScheda();
}

void RootNotchView::aggiornaRegistrazioneAttiva()
{
    // The manager announces every store: only a change is copied.
    if (voiceManager_->isRecording() == stato_.registrazioneAttiva())
        return;
    stato_.setRegistrazioneAttiva(voiceManager_->isRecording());
    aggiornaRichiestaClick();
    aggiornaVisibilitaScheda();
}

void RootNotchView::aggiornaMediaAttivo()
{
    const bool attivo =
        settingsManager_->mostraSchedaMedia() && mediaManager_->isPlaying() && !mediaManager_->trackTitle().isEmpty();
    if (attivo == stato_.isMediaActive())
        return;
    stato_.setIsMediaActive(attivo);
    if (!attivo && stato_.isMediaCardHovered())
        stato_.setIsMediaCardHovered(false);
    aggiornaVisibilitaScheda();
}

void RootNotchView::aggiornaVisibilitaScheda()
{
    const bool persistente = stato_.isMediaActive() || stato_.isTimerAttivo() || stato_.registrazioneAttiva()
                             || attivita_.corrente().has_value() || impegnoDaMostrare() || usoIAPresente();
    const bool nuovo = visibilitaScheda(ingressi(), persistente);
    if (nuovo == stato_.isSchedaVisibile())
        return;
    stato_.setIsSchedaVisibile(nuovo);
    if (!nuovo)
        stato_.setIsMediaCardHovered(false);
}

void RootNotchView::aggiornaRichiestaClick()
{
    stato_.setSchedaRichiedeClick(richiestaClick(ingressi(), voiceManager_ && voiceManager_->isRecording()));
}

QSizeF RootNotchView::dimensioneTacca() const
{
    return stato_.currentState() == NotchState::expanded ? stato_.expandedSize() : stato_.dimensioneCompatta();
}

QRectF RootNotchView::rettangoloTacca() const
{
    return QRectF((width() - larghezza_.valore()) / 2, 0, larghezza_.valore(), altezza_.valore());
}

QRectF RootNotchView::rettangoloObiettivo() const
{
    const QSizeF d = dimensioneTacca();
    const bool linguetta = stato_.currentState() == NotchState::compact && stato_.linguettaAttiva();
    return QRectF((width() - d.width()) / 2, 0, d.width(), linguetta ? GeometriaPannello::kAltezzaLinguetta : d.height());
}

QRect RootNotchView::areaTacca() const
{
    using namespace FormaTacca;
    return rettangoloTacca()
        .adjusted(-kMargineOmbra, -kMargineOmbra, kMargineOmbra, kMargineOmbra + kCaduta)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

void RootNotchView::aggiornaTacca()
{
    const QSizeF d = dimensioneTacca();
    const double apertura = stato_.currentState() == NotchState::expanded ? 1 : 0;
    if (d.width() == larghezza_.obiettivo() && d.height() == altezza_.obiettivo() && apertura == apertura_.obiettivo())
        return;
    // Its picture at rest is made while the springs run.
    if (!stato_.haTaccaFisica() || apertura > 0)
        immagini_.prepara(rettangoloObiettivo(), devicePixelRatioF());
    larghezza_.vaiA(d.width(), 0.4, 0.7);
    altezza_.vaiA(d.height(), 0.4, 0.7);
    apertura_.vaiA(apertura, 0.4, 0.7);
    animatore_.avvia();
    anticipaForme();
}

RootNotchView::Fotogramma RootNotchView::fotogramma() const
{
    return fotogramma(rettangoloTacca(), opacitaContenuto());
}

RootNotchView::Fotogramma RootNotchView::fotogramma(const QRectF& r, double opacita) const
{
    const double dpr = devicePixelRatioF();
    return {QRect(QPoint(qRound(r.left() * dpr), qRound(r.top() * dpr)),
                  QPoint(qRound(r.right() * dpr), qRound(r.bottom() * dpr))),
            qRound(opacita * 255)};
}

void RootNotchView::anticipaForme()
{
    const bool chiusa = stato_.currentState() == NotchState::compact;
    Molla larghezza = larghezza_, altezza = altezza_, apertura = apertura_;
    if (chiusa && larghezza.ferma() && altezza.ferma()) {
        const QSizeF aperta = stato_.modalitaGuida() ? NotchStateManager::kDimensioneGuida
                                                     : NotchStateManager::dimensioneScheda(stato_.activeTab());
        larghezza.vaiA(aperta.width(), 0.4, 0.7);
        altezza.vaiA(aperta.height(), 0.4, 0.7);
        apertura.vaiA(1, 0.4, 0.7);
    } else if (chiusa && (stato_.haTaccaFisica() || stato_.linguettaAttiva())) {
        immagini_.anticipa({}, devicePixelRatioF()); // closing, it is drawn solid or as the edge tab
        return;
    }
    // The frames to come, step by step as the animator moves the springs,
    // less those it will not draw since they change no pixel.
    QList<QRectF> forme;
    Fotogramma ultimo = fotogramma();
    for (int i = 0; i < 250 && !(larghezza.ferma() && altezza.ferma() && apertura.ferma()); ++i) {
        for (Molla* m : {&larghezza, &altezza, &apertura})
            m->avanza(AnimatoreMolle::kPasso);
        const QRectF r((width() - larghezza.valore()) / 2, 0, larghezza.valore(), altezza.valore());
        const Fotogramma f = fotogramma(r, std::clamp(apertura.valore(), 0.0, 1.0));
        if (f != ultimo)
            forme << r;
        ultimo = f;
    }
    immagini_.anticipa(forme, devicePixelRatioF());
}

double RootNotchView::opacitaContenuto() const
{
    return std::clamp(apertura_.valore(), 0.0, 1.0);
}

double RootNotchView::opacitaSegno() const
{
    const bool visibile = !stato_.haTaccaFisica() && !stato_.linguettaAttiva();
    return visibile ? 0.22 * (1 - opacitaContenuto()) : 0;
}

void RootNotchView::completaAnimazioni()
{
    animatore_.completa();
    slot_->completaTransizioni();
    pannelloAperto_->completaAnimazioni();
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

void RootNotchView::aggiornaSlot()
{
    const Scheda nuova = scegli(ingressi());
    ContenutoScheda dovuto;
    dovuto.attivita = attivita_.corrente();
    dovuto.proposta = videoNotch_ ? videoNotch_->proposta() : std::nullopt;
    dovuto.usoIA = nuova == Scheda::usoIA && usoIA_ ? usoIA_->statoPerTacca() : std::nullopt;
    if (nuova == Scheda::impegno && calendarioManager_)
        dovuto.impegno = calendarioManager_->prossimo();
    if (nuova == Scheda::promemoria && calendarioManager_)
        dovuto.promemoria = calendarioManager_->daAvvisare();
    dovuto.allarme = nuova == Scheda::timer && allarmeAttivo();
    dovuto.aggiornamento = nuova == Scheda::aggiornamento ? campiAggiornamento() : std::nullopt;
    // The notice and the offer shown are those of the card in the slot.
    ContenutoScheda mostrato = contenuto_;
    auto* attuale = qobject_cast<AttivitaCardView*>(slot_->scheda());
    mostrato.attivita = attuale ? std::optional(attuale->attivita()) : std::nullopt;
    auto* offerta = qobject_cast<PropostaVideoCardView*>(slot_->scheda());
    mostrato.proposta = offerta ? std::optional(offerta->proposta()) : std::nullopt;
    const bool stessa = stessaScheda(scheda_, mostrato, nuova, dovuto);
    const bool altra = nuova != scheda_;
    scheda_ = nuova;
    contenuto_ = dovuto;
    if (altra)
        emit schedaCambiata();
    if (stessa)
        return;
    // The video card is the root view's own: it resizes the slot as it goes.
    CostruttoreSchede::Costruita costruita;
    if (nuova == Scheda::video)
        costruita.scheda = creaSchedaVideo(costruita.area);
    else
        costruita = costruttore_->costruisci(nuova, dovuto, !stato_.isMediaCardHovered());
    QWidget* card = costruita.scheda;
    // A card that comes under the pointer comes faded out. (The video card
    // embeds a native window, which an effect cannot draw; it never fades.)
    if (card && sbiadisceAlPassaggio(nuova, allarmeAttivo()) && stato_.isMediaCardHovered()) {
        auto* effetto = new QGraphicsOpacityEffect(card);
        effetto->setOpacity(0);
        card->setGraphicsEffect(effetto);
    }
    slot_->imposta(card, costruita.area, costruita.ingresso);
    disponi();
}

void RootNotchView::disponi()
{
    slot_->posiziona(width() / 2.0, stato_.dimensioneCompatta().height());
    // The open content is laid out once, at the size the notch opens to
    // (closing, it keeps it). While the shape moves the content shows as a
    // picture of itself, uncovered by the shape and faded with it, and it
    // is drawn itself again once the shape rests.
    const bool aperta = stato_.currentState() == NotchState::expanded;
    if (aperta)
        pannelloAperto_->setGeometry(rettangoloObiettivo().toAlignedRect());
    pannelloAperto_->disponiModulo();
    const double opacita = opacitaContenuto();
    const bool presente = aperta || opacita > 0.01;
    pannelloAperto_->setAttribute(Qt::WA_TransparentForMouseEvents, !aperta);
    const QRect forma = rettangoloTacca().toAlignedRect();
    const bool fermo = !animatore_.attivo() && opacita >= 0.99 && forma == pannelloAperto_->geometry();
    auto* strato = qobject_cast<EffettoStrato*>(pannelloAperto_->graphicsEffect());
    if (presente && !fermo) {
        if (!strato) {
            strato = new EffettoStrato(pannelloAperto_);
            pannelloAperto_->setGraphicsEffect(strato);
        }
        strato->setOpacita(opacita);
        strato->setRitaglio(forma.translated(-pannelloAperto_->pos()));
    } else if (strato) {
        pannelloAperto_->setGraphicsEffect(nullptr);
    }
    pannelloAperto_->setVisible(presente);
    if (QRegion r = regioneMateriale(); r != regioneMateriale_) {
        regioneMateriale_ = r;
        emit regioneMaterialeCambiata(r);
    }
}

QRegion RootNotchView::regioneMateriale() const
{
    const bool chiusa = stato_.currentState() == NotchState::compact;
    if (chiusa && stato_.haTaccaFisica())
        return {}; // solid black over a physical notch
    QRectF tacca = rettangoloTacca();
    if (chiusa && stato_.linguettaAttiva())
        tacca.setHeight(GeometriaPannello::kAltezzaLinguetta);
    auto regione = [](const QPainterPath& forma) { return QRegion(forma.toFillPolygon().toPolygon(), Qt::WindingFill); };
    QRegion r = regione(Disegno::rettangoloContinuo(tacca, 0, FormaTacca::kRaggioSotto));
    const QRectF carta = slot_->isHidden() ? QRectF() : slot_->rettangoloCarta();
    if (!carta.isEmpty())
        r += regione(Disegno::rettangoloContinuo(carta, AspettoScheda::kRaggio));
    return r;
}

void RootNotchView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF tacca = rettangoloTacca();
    const bool chiusa = stato_.currentState() == NotchState::compact;
    const bool pieno = chiusa && stato_.haTaccaFisica();
    const double altezza = chiusa && stato_.linguettaAttiva() ? GeometriaPannello::kAltezzaLinguetta : tacca.height();
    // The pieces the moving shape is made of serve every tab, the guide and
    // the springs' overshoot.
    QSizeF massima = NotchStateManager::kDimensioneGuida;
    for (NotchTab t : BarraSchede::ordine())
        massima = massima.expandedTo(NotchStateManager::dimensioneScheda(t));
    immagini_.preparaRiferimento(massima * 1.1, devicePixelRatioF());
    immagini_.disegna(p, tacca, altezza, pieno, animatore_.attivo());
    FormaTacca::disegnaSegno(p, tacca, opacitaSegno());
}
