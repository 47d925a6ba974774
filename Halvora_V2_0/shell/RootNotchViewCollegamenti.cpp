// The root view's subscriptions: what it copies from the features into the
// notch state (media active, timer running, recording), the managers it
// starts and stops by tab and notch state, and the card slot's inputs.
#include "RootNotchView.h"

#include "AttivitaManager.h"
#include "BarraSchede.h"
#include "CalendarioManager.h"
#include "CameraManager.h"
#include "CompactMediaCard.h"
#include "MediaManager.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "PomodoroManager.h"
#include "RotazioneSchede.h"
#include "SettingsManager.h"
#include "SlotScheda.h"
#include "UsoIAMonitor.h"
#include "VideoNotchManager.h"
#include "VoiceManager.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

using namespace CatenaSchede;

void RootNotchView::collega()
{
    collegaAggiornamento();
    connect(&stato_, &NotchStateManager::cambiato, this, [this] {
        aggiornaTacca();
        aggiornaSlot();
        disponi();
        if (!animatore_.attivo())
            anticipaForme(); // the tab or the mode the next opening goes to may have changed
        ridisegnaForma();
    });
    // The flags are first computed when a value they depend on changes.
    auto ricalcola = [this] {
        aggiornaVisibilitaScheda();
        aggiornaRichiestaClick();
        aggiornaSlot();
    };
    connect(&attivita_, &AttivitaManager::correnteChanged, this, ricalcola);
    // The notice shows in the open panel as well: a user looking at it learns it there.
    auto avviso = [this] { pannelloAperto_->setAvviso(attivita_.corrente()); };
    connect(&attivita_, &AttivitaManager::correnteChanged, this, avviso);
    connect(&stato_, &NotchStateManager::modalitaGuidaChanged, this, avviso);
    avviso();
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
    connect(rotazione_.get(), &RotazioneSchede::indiceChanged, this, [this](bool animato) {
        daRotazione_ = animato;
        aggiornaSlot();
        daRotazione_ = false;
    });
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
