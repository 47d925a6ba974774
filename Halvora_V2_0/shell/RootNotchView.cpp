#include "RootNotchView.h"

#include "AttivitaCardView.h"
#include "BarraSchede.h"
#include "PannelloAperto.h"
#include "AttivitaManager.h"
#include "AvvioAlLoginXdg.h"
#include "BatteriaMonitor.h"
#include "FormaTacca.h"
#include "GeometriaPannello.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "NotificheApp.h"
#include "Reazioni.h"
#include "RotazioneSchede.h"
#include "SettingsManager.h"
#include "SlotScheda.h"
#include "UserDefaults.h"

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
    resize(canvas);
    avvioAlLogin_ = std::make_unique<AvvioAlLoginXdg>(
        QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + QStringLiteral("/autostart"),
        QCoreApplication::applicationFilePath());
    settingsManager_ = std::make_unique<SettingsManager>(servizi_.impostazioni, *avvioAlLogin_, servizi_.posizione);
    linguaManager_ = std::make_unique<LinguaManager>(servizi_.impostazioni, servizi_.riavvio);
    batteriaMonitor_ = std::make_unique<BatteriaMonitor>(servizi_.clock);
    monitorSchermoIntero_ = std::make_unique<MonitorSchermoIntero>(servizi_.desktop);
    rotazione_ = std::make_unique<RotazioneSchede>(servizi_.clock, [this] { return idonee().size(); });
    barra_ = std::make_unique<BarraSchede>(stato_, servizi_.clock);
    pannelloAperto_ = new PannelloAperto(stato_, *barra_, this);
    // Media, camera, recording and pomodoro join the power button's steps
    // with their managers.
    pannelloAperto_->setAzionePower([this] { barra_->fermaTutto({}); });

    const QSizeF iniziale = dimensioneTacca();
    larghezza_.salta(iniziale.width());
    altezza_.salta(iniziale.height());
    animatore_.segui(&larghezza_);
    animatore_.segui(&altezza_);
    connect(&animatore_, &AnimatoreMolle::passo, this, [this] {
        disponi();
        update();
    });
    collega();
    rotazione_->avvia();
    aggiornaSlot();
    disponi();
}

RootNotchView::~RootNotchView() = default;

void RootNotchView::collega()
{
    connect(&stato_, &NotchStateManager::cambiato, this, [this] {
        aggiornaTacca();
        aggiornaSlot();
        disponi();
        update();
    });
    // The flags are first computed when a value they depend on changes.
    auto ricalcola = [this] {
        aggiornaVisibilitaScheda();
        aggiornaRichiestaClick();
        aggiornaSlot();
    };
    connect(&attivita_, &AttivitaManager::correnteChanged, this, ricalcola);
    connect(monitorSchermoIntero_.get(), &MonitorSchermoIntero::attivoChanged, this, ricalcola);
    connect(&stato_, &NotchStateManager::isMediaActiveChanged, this, ricalcola);
    connect(&stato_, &NotchStateManager::isTimerAttivoChanged, this, ricalcola);
    connect(&stato_, &NotchStateManager::registrazioneAttivaChanged, this, ricalcola);
    connect(settingsManager_.get(), &SettingsManager::mostraProssimoImpegnoChanged, this, ricalcola);
    connect(rotazione_.get(), &RotazioneSchede::indiceChanged, this, &RootNotchView::aggiornaSlot);
    // A finished pomodoro session with the timer card off opens the notch on
    // the pomodoro tab and brings the application forward.
    connect(&NotificheApp::shared(), &NotificheApp::focusTimerDidExpire, this, [this] {
        if (settingsManager_->mostraSchedaTimer())
            return;
        stato_.setState(NotchState::expanded);
        stato_.setActiveTab(NotchTab::pomodoro);
        if (QWidget* finestra = window(); finestra && finestra->isVisible())
            finestra->activateWindow();
    });
    connect(batteriaMonitor_.get(), &BatteriaMonitor::statoChanged, this,
            [this](const std::optional<StatoAlimentazione>& prima) {
                if (auto a = Reazioni::avvisoAlimentazione(prima, batteriaMonitor_->stato()))
                    attivita_.mostra(*a, Reazioni::kDurataAvviso);
            });
    connect(&stato_, &NotchStateManager::isMediaCardHoveredChanged, this, [this] {
        auto* effetto = slot_->scheda() ? qobject_cast<QGraphicsOpacityEffect*>(slot_->scheda()->graphicsEffect())
                                        : nullptr;
        if (!effetto)
            return;
        // Fading cards give way to the pointer, ease-in-out over 0.22 s.
        auto* a = new QPropertyAnimation(effetto, "opacity", effetto);
        a->setDuration(220);
        a->setEasingCurve(QEasingCurve::InOutQuad);
        a->setEndValue(sbiadisceAlPassaggio(scheda_, false) && stato_.isMediaCardHovered() ? 0.0 : 1.0);
        a->start(QAbstractAnimation::DeleteWhenStopped);
    });
}

QList<SchedaPersistente> RootNotchView::idonee() const
{
    // The appointment and usage cards come with their subsystems' managers.
    return CatenaSchede::idonee(stato_.registrazioneAttiva(), stato_.isTimerAttivo(), false, false,
                                stato_.isMediaActive());
}

Ingressi RootNotchView::ingressi() const
{
    Ingressi in;
    in.chiusa = stato_.currentState() == NotchState::compact;
    in.schermoIntero = monitorSchermoIntero_->attivo();
    // The installation and update cards come with the updates subsystem's
    // views; until then they must not hold the slot that nothing would fill.
    in.installazioneDaSistemare = false;
    in.aggiornamentoDisponibile = false;
    in.attivitaCorrente = attivita_.corrente().has_value();
    in.persistente = correntePersistente(idonee(), rotazione_->indice());
    return in;
}

void RootNotchView::aggiornaVisibilitaScheda()
{
    const bool persistente = stato_.isMediaActive() || stato_.isTimerAttivo() || stato_.registrazioneAttiva()
                             || attivita_.corrente().has_value();
    const bool nuovo = visibilitaScheda(ingressi(), persistente);
    if (nuovo == stato_.isSchedaVisibile())
        return;
    stato_.setIsSchedaVisibile(nuovo);
    if (!nuovo)
        stato_.setIsMediaCardHovered(false);
}

void RootNotchView::aggiornaRichiestaClick()
{
    stato_.setSchedaRichiedeClick(richiestaClick(ingressi(), stato_.registrazioneAttiva()));
}

QSizeF RootNotchView::dimensioneTacca() const
{
    return stato_.currentState() == NotchState::expanded ? stato_.expandedSize() : stato_.dimensioneCompatta();
}

QRectF RootNotchView::rettangoloTacca() const
{
    return QRectF((width() - larghezza_.valore()) / 2, 0, larghezza_.valore(), altezza_.valore());
}

void RootNotchView::aggiornaTacca()
{
    const QSizeF d = dimensioneTacca();
    if (d.width() == larghezza_.obiettivo() && d.height() == altezza_.obiettivo())
        return;
    larghezza_.vaiA(d.width(), 0.4, 0.7);
    altezza_.vaiA(d.height(), 0.4, 0.7);
    animatore_.avvia();
}

void RootNotchView::completaAnimazioni()
{
    animatore_.completa();
}

void RootNotchView::aggiornaSlot()
{
    const Scheda nuova = scegli(ingressi());
    const auto& corrente = attivita_.corrente();
    auto* attuale = qobject_cast<AttivitaCardView*>(slot_->scheda());
    const bool stessa = nuova == scheda_ && (nuova != Scheda::attivita || (attuale && corrente && attuale->attivita() == *corrente));
    scheda_ = nuova;
    if (stessa)
        return;
    // Cards of features without their view yet leave the slot empty.
    QWidget* card = nullptr;
    QRectF area;
    if (nuova == Scheda::attivita && corrente) {
        auto* v = new AttivitaCardView(*corrente);
        area = v->rettangoloScheda();
        card = v;
    }
    if (card) {
        auto* effetto = new QGraphicsOpacityEffect(card);
        effetto->setOpacity(sbiadisceAlPassaggio(nuova, false) && stato_.isMediaCardHovered() ? 0.0 : 1.0);
        card->setGraphicsEffect(effetto);
    }
    slot_->imposta(card, area);
    disponi();
}

void RootNotchView::disponi()
{
    slot_->posiziona(width() / 2.0, stato_.dimensioneCompatta().height());
    const bool aperta = stato_.currentState() == NotchState::expanded && !stato_.modalitaGuida();
    pannelloAperto_->setGeometry(rettangoloTacca().toAlignedRect());
    pannelloAperto_->setVisible(aperta);
}

void RootNotchView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF tacca = rettangoloTacca();
    const bool chiusa = stato_.currentState() == NotchState::compact;
    const bool pieno = chiusa && stato_.haTaccaFisica();
    const double altezza = chiusa && stato_.linguettaAttiva() ? GeometriaPannello::kAltezzaLinguetta : tacca.height();
    FormaTacca::disegna(p, tacca, altezza, pieno);
    if (chiusa)
        FormaTacca::disegnaSegno(p, tacca, !stato_.haTaccaFisica() && !stato_.linguettaAttiva() ? 0.22 : 0);
}
