#include "AppDelegate.h"

#include "AggiornamentoManager.h"
#include "DiagnosticaDati.h"
#include "GeometriaPannello.h"
#include "MonitorSchermoIntero.h"
#include "NotchAccessRouter.h"
#include "NotchPanel.h"
#include "NotificheApp.h"
#include "RootNotchView.h"
#include "Puntatore.h"
#include "Screens.h"
#include "SpiaFotogrammi.h"
#include "ScorciatoiaTacca.h"
#include "TracciamentoPannello.h"
#include "UserDefaults.h"
#include "VideoNotchManager.h"
#include "X11Desktop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
const QString kAvvisoPosizioneMostrato = QStringLiteral("avvisoPosizioneMostrato");

// Calls `dopo` once the event loop has finished the paint `quando` approves.
class SpiaDisegno final : public QObject {
public:
    SpiaDisegno(QWidget* vista, std::function<bool()> quando, std::function<void()> dopo)
        : QObject(vista), quando_(std::move(quando)), dopo_(std::move(dopo))
    {
        vista->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && quando_())
            QTimer::singleShot(0, this, dopo_);
        return false;
    }

private:
    std::function<bool()> quando_;
    std::function<void()> dopo_;
};
} // namespace

AppDelegate::AppDelegate(Dipendenze d, QObject* parent)
    : QObject(parent), d_(std::move(d)), stateManager_(d_.clock), attivitaManager_(d_.clock),
      installazione_(std::make_unique<Installazione>(Installazione::Dipendenze{
          d_.clock, d_.impostazioni, d_.posizione,
          d_.rilancia ? d_.rilancia : [](const QString&, std::function<void(bool)> avviata) { avviata(false); }})),
      // Made before the launch writes anything: it notes what earlier runs left.
      pulizia_(std::make_unique<PuliziaAvvio>(PuliziaAvvio::Dipendenze{d_.clock, d_.impostazioni, d_.posizione}))
{
}

AppDelegate::~AppDelegate()
{
    // The panel is a top-level window: it does not go with this object by itself.
    tracciamento_.reset();
    delete window_;
}

NotchPanel* AppDelegate::window() const
{
    return window_;
}

void AppDelegate::applicationDidFinishLaunching()
{
    // Notifications show while the application is active without help on
    // this desktop, so there is no presentation delegate to install.
    creaPannello();
    collegaStato();
    installaMonitorMouse();
    connect(&d_.schermi, &Screens::changed, this, &AppDelegate::posizionaPannello);
    osservaImpostazioni();
    osservaTrascinamento();
    programmaAvvisoPosizione();
    controllaTrasloco();
    registraScorciatoia();
    controllaRinominaECopie();
    if (qEnvironmentVariableIsSet("HALVORA_DIAGNOSTICA"))
        attivaDiagnostica();
}

void AppDelegate::attivaDiagnostica()
{
    // One line per change on standard output, for scripted checks of a running copy.
    auto scrivi = [](const QString& riga) {
        std::fputs(qPrintable(riga + QLatin1Char('\n')), stdout);
        std::fflush(stdout);
    };
    connect(&stateManager_, &NotchStateManager::currentStateChanged, this, [this, scrivi] {
        scrivi(stateManager_.currentState() == NotchState::expanded ? QStringLiteral("stato aperta")
                                                                     : QStringLiteral("stato chiusa"));
    });
    connect(&attivitaManager_, &AttivitaManager::correnteChanged, this, [this, scrivi] {
        const auto& c = attivitaManager_.corrente();
        scrivi(QStringLiteral("attivita ") + (c ? c->titolo : QStringLiteral("nessuna")));
    });
    connect(&stateManager_, &NotchStateManager::catturaInCorsoChanged, this, [this, scrivi] {
        scrivi(stateManager_.catturaInCorso() ? QStringLiteral("cattura iniziata") : QStringLiteral("cattura finita"));
    });
    auto scorciatoia = [this, scrivi] {
        scrivi(d_.scorciatoia.occupata() ? QStringLiteral("scorciatoia occupata")
                                         : QStringLiteral("scorciatoia libera"));
    };
    connect(&d_.scorciatoia, &ScorciatoiaTacca::occupataChanged, this, scorciatoia);
    connect(&d_.scorciatoia, &ScorciatoiaTacca::presa, this, [scrivi] { scrivi(QStringLiteral("scorciatoia presa")); });
    scorciatoia();
    if (const auto& c = attivitaManager_.corrente())
        scrivi(QStringLiteral("attivita ") + c->titolo);
    StatoDesktop& desktop = d_.desktop ? *d_.desktop : X11Desktop::shared();
    connect(&desktop, &StatoDesktop::desktopCambiato, this, [scrivi] { scrivi(QStringLiteral("spazio cambiato")); });
    // The first frame of each opening that shows the notch grown.
    if (RootNotchView* root = router_ ? router_->root() : nullptr) {
        MonitorSchermoIntero& schermoIntero = root->monitorSchermoIntero();
        connect(&schermoIntero, &MonitorSchermoIntero::attivoChanged, this, [&schermoIntero, scrivi] {
            scrivi(schermoIntero.attivo() ? QStringLiteral("schermo intero sì") : QStringLiteral("schermo intero no"));
        });
        connect(root, &RootNotchView::schedaCambiata, this, [root, scrivi] {
            static const char* const nomi[] = {"nessuna", "video",       "propostaVideo", "installazione",
                                               "aggiornamento", "attivita", "promemoria", "registrazione",
                                               "timer",   "impegno",     "usoIA",         "musica"};
            scrivi(QStringLiteral("scheda ") + QLatin1String(nomi[static_cast<int>(root->schedaCorrente())]));
        });
        if (VideoNotchManager* video = root->videoNotch()) {
            connect(video, &VideoNotchManager::statoChanged, this, [video, scrivi] {
                static const char* const nomi[] = {"chiuso", "attesaPermesso", "errore", "caricamento", "inRiproduzione",
                                                   "inPausa"};
                const auto& s = video->stato();
                scrivi((QStringLiteral("video ") + QLatin1String(nomi[static_cast<int>(s.tipo)]) + QLatin1Char(' ')
                        + s.testo)
                           .trimmed());
            });
        }
        auto segnata = std::make_shared<bool>(false);
        connect(&stateManager_, &NotchStateManager::currentStateChanged, this, [segnata] { *segnata = false; });
        new SpiaDisegno(
            root,
            [this, root, segnata] {
                const bool aperta = stateManager_.currentState() == NotchState::expanded
                                    && root->rettangoloTacca().width() > stateManager_.dimensioneCompatta().width() + 1;
                return aperta && !std::exchange(*segnata, true);
            },
            [scrivi] { scrivi(QStringLiteral("disegnata aperta")); });
        attivaDiagnosticaDati(*root, stateManager_, scrivi);
    }
    SpiaFotogrammi::installa(scrivi);
    scrivi(QStringLiteral("versione ") + AggiornamentoManager::versioneCorrente());
    scrivi(QStringLiteral("pronta"));
}

void AppDelegate::creaPannello()
{
    window_ = new NotchPanel(kCanvas);
    StatoDesktop& desktop = d_.desktop ? *d_.desktop : X11Desktop::shared();
    router_ = new NotchAccessRouter(stateManager_, attivitaManager_, kCanvas,
                                    {d_.clock, d_.impostazioni, desktop, d_.posizione, d_.riavvio, d_.fabbrica,
                                     &d_.scorciatoia, installazione_.get()},
                                    window_);
    tracciamento_ = std::make_unique<TracciamentoPannello>(stateManager_, d_.puntatore, d_.clock, *window_);
    QPointer<AppDelegate> guardia(this);
    window_->setAlTermineDelGesto([guardia] {
        if (guardia && guardia->tracciamento_)
            guardia->tracciamento_->aggiornaInterattivita();
    });
    window_->impostaContenuto(router_);
    if (RootNotchView* root = router_->root()) {
        // The root view fills the canvas.
        connect(root, &RootNotchView::regioneMaterialeCambiata, window_, &NotchPanel::impostaRegioneMateriale);
        window_->impostaRegioneMateriale(root->regioneMateriale());
    }
    window_->mostra();
    d_.puntatore.seguiFinestra(window_->winId());
    posizionaPannello();
}

void AppDelegate::collegaStato()
{
    connect(&stateManager_, &NotchStateManager::catturaInCorsoChanged, this, [this] {
        if (window_)
            window_->nascondiPerCattura(stateManager_.catturaInCorso());
    });
    connect(&stateManager_, &NotchStateManager::cambiato, this, [this] {
        if (tracciamento_)
            tracciamento_->aggiornaInterattivita();
    });
}

void AppDelegate::installaMonitorMouse()
{
    // The tracker listens to the pointer itself: moves anywhere and clicks elsewhere.
}

void AppDelegate::osservaImpostazioni()
{
    connect(&d_.impostazioni, &UserDefaults::changed, this, [this] {
        posizionaPannello();
        registraScorciatoia();
    });
}

void AppDelegate::osservaTrascinamento()
{
    connect(&NotificheApp::shared(), &NotificheApp::trascinamentoAvviato, this, [this] {
        if (tracciamento_)
            tracciamento_->avviaVigilanzaTrascinamento();
    });
}

void AppDelegate::posizionaPannello()
{
    const auto primo = d_.schermi.primo();
    if (!window_ || !primo)
        return;
    const ScreenInfo schermo = NotchGeometry::sottoPannelloSuperiore(*primo);
    stateManager_.setHaTaccaFisica(schermo.haTacca());
    stateManager_.setDimensioneCompatta(NotchGeometry::notchRect(schermo));
    stateManager_.setLinguettaAttiva(d_.impostazioni.boolValue(QStringLiteral("taccaDiscreta"), false));
    window_->posizionaTela(GeometriaPannello::framePannello(schermo).topLeft().toPoint());
    tracciamento_->aggiornaInterattivita();
}

void AppDelegate::programmaAvvisoPosizione()
{
    const bool lontano = NotchGeometry::isRunningFromBadLocation(d_.posizione);
    if (!lontano && NotchGeometry::isInApplications(d_.posizione))
        return;
    if (!lontano) {
        if (d_.impostazioni.boolValue(kAvvisoPosizioneMostrato, false))
            return;
        d_.impostazioni.setValue(kAvvisoPosizioneMostrato, true);
    }
    avvisoPosizione_ = d_.clock.singleShot(kRitardoAvvisoPosizione,
                                           [this] { stateManager_.setInstallazioneDaSistemare(true); });
}

void AppDelegate::controllaTrasloco()
{
    installazione_->rimuoviCopieInterrotte();
    installazione_->checkRelocationAtLaunch();
}

void AppDelegate::controllaRinominaECopie()
{
    pulizia_->controllaRinominaECopie(attivitaManager_);
}

void AppDelegate::registraScorciatoia()
{
    QPointer<AppDelegate> guardia(this);
    d_.scorciatoia.imposta([guardia] {
        if (guardia)
            guardia->stateManager_.toggleFromHotKey();
    });
}

void AppDelegate::apriURL(const QList<QUrl>& urls)
{
    SchemaURL::instradaURL(urls, attivitaManager_, d_.contestoURL);
}

void AppDelegate::activeSpaceDidChange()
{
    stateManager_.chiudiSubito();
}

void AppDelegate::anotherAppDidActivate(std::optional<qint64> pid)
{
    if (pid && *pid == QCoreApplication::applicationPid())
        return;
    // A manager may count no window active while the panel, which it does
    // not manage, has the keyboard.
    if (!pid && window_ && window_->haTastiera())
        return;
    stateManager_.chiudiSubito();
}
