// The root view's reactions: events of one feature that become a notice
// (or, for a finished pomodoro session, the open pomodoro tab),
// and the usage ring of the open panel.
#include "RootNotchView.h"

#include "AttivitaManager.h"
#include "BatteriaMonitor.h"
#include "CalendarioManager.h"
#include "DownloadMonitor.h"
#include "DropManager.h"
#include "MenuConversione.h"
#include "NotificheApp.h"
#include "PannelloAperto.h"
#include "Reazioni.h"
#include "SettingsManager.h"
#include "UserDefaults.h"

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

void RootNotchView::collegaReazioni()
{
    connect(batteriaMonitor_.get(), &BatteriaMonitor::statoChanged, this,
            [this](const std::optional<StatoAlimentazione>& prima) {
                if (auto a = Reazioni::avvisoAlimentazione(prima, batteriaMonitor_->stato()))
                    attivita_.mostra(*a, Reazioni::kDurataAvviso);
            });
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
    if (downloadMonitor_) {
        // Announced once, then cleared for the next arrival.
        connect(downloadMonitor_.get(), &DownloadMonitor::ultimoArrivoChanged, this, [this] {
            const auto arrivo = downloadMonitor_->ultimoArrivo();
            if (!arrivo)
                return;
            annunciaFileScaricato(arrivo);
            downloadMonitor_->setUltimoArrivo(std::nullopt);
        });
    }
    if (dropManager_) {
        connect(dropManager_.get(), &DropManager::conversioneSenzaEsito, this,
                [this](OperazioneVassoio, const QList<QUrl>& file) {
                    attivita_.mostra(Reazioni::avvisoConversioneMancata(MenuConversione::titoloSenzaEsito(), file),
                                     Reazioni::kDurataAvviso);
                });
        connect(dropManager_.get(), &DropManager::rilascioNonRiuscito, this, [this](int quanti, const QString& motivo) {
            attivita_.mostra(Reazioni::avvisoRilascioNonRiuscito(quanti, motivo), Reazioni::kDurataErrore);
        });
    }
    if (calendarioManager_)
        connect(calendarioManager_.get(), &CalendarioManager::messiDaParte, this, [this](const QStringList& copie) {
            for (const QString& copia : copie)
                attivita_.mostra(Reazioni::avvisoPromemoriaMessiDaParte(copia), Reazioni::kDurataErrore);
        });
    // A setting that holds for this run only, and settings read in part at start.
    UserDefaults& impostazioni = servizi_.impostazioni;
    connect(&impostazioni, &UserDefaults::salvataggioFallito, this, [this](const QString& motivo) {
        attivita_.mostra(Reazioni::avvisoImpostazioneNonSalvata(motivo), Reazioni::kDurataErrore);
    });
    if (const auto copia = impostazioni.fileMessoDaParte())
        attivita_.mostra(Reazioni::avvisoImpostazioniMesseDaParte(*copia), Reazioni::kDurataErrore);
    if (usoIA_) {
        connect(usoIA_.get(), &UsoIAMonitor::diNuovoDisponibile, this, &RootNotchView::annunciaLimiteAzzerato);
        connect(usoIA_.get(), &UsoIAMonitor::cambiato, this, &RootNotchView::aggiornaAnelloUsoIA);
        aggiornaAnelloUsoIA();
    }
}

void RootNotchView::aggiornaAnelloUsoIA()
{
    pannelloAperto_->setUsoIA(usoIA_ ? usoIA_->statoPerPannello() : std::nullopt);
}

void RootNotchView::annunciaFileScaricato(const std::optional<QUrl>& file)
{
    if (auto a = Reazioni::avvisoFileScaricato(file, settingsManager_->annunciaFileScaricati()))
        attivita_.mostra(*a, Reazioni::kDurataAvviso);
}

void RootNotchView::annunciaScreenshot(const QUrl& file)
{
    // The picture is decoded off the GUI thread; the notice follows it.
    auto promessa = std::make_shared<QPromise<QImage>>();
    QFuture<QImage> futuro = promessa->future();
    promessa->start();
    QThreadPool::globalInstance()->start([promessa, percorso = file.toLocalFile()] {
        promessa->addResult(Reazioni::leggiAnteprima(percorso));
        promessa->finish();
    });
    futuro.then(this, [this](const QImage& anteprima) {
        attivita_.mostra(Reazioni::avvisoScreenshot(anteprima), Reazioni::kDurataAvviso);
    });
}

void RootNotchView::annunciaConversione(const QString& titolo, const QUrl& file)
{
    attivita_.mostra(Reazioni::avvisoConversione(titolo, file), Reazioni::kDurataAvviso);
}

void RootNotchView::annunciaLimiteAzzerato(const UsoIAMonitor::DiNuovoDisponibile& evento)
{
    attivita_.mostra(Reazioni::avvisoLimiteAzzerato(evento), Reazioni::kDurataLimite);
}
