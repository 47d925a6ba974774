#include "CostruttoreSchede.h"

#include "AggiornamentoManager.h"
#include "AttivitaCardView.h"
#include "CalendarioManager.h"
#include "CompactMediaCard.h"
#include "ImpegnoCardView.h"
#include "InstallazioneCardView.h"
#include "MediaManager.h"
#include "PomodoroManager.h"
#include "PromemoriaCardView.h"
#include "PropostaVideoCardView.h"
#include "RegistrazioneCardView.h"
#include "TimerCardView.h"
#include "UsoIACardView.h"
#include "VideoNotchManager.h"
#include "VoiceManager.h"

#include <QPointer>

using namespace CatenaSchede;

CostruttoreSchede::Costruita CostruttoreSchede::costruisci(Scheda tipo, const ContenutoScheda& contenuto,
                                                           bool ondeAnimate) const
{
    // Cards of features without their view yet leave the slot empty.
    Costruita c;
    if (tipo == Scheda::propostaVideo) {
        c.scheda = creaSchedaProposta(c.area);
        c.ingresso = TransizioneScheda::kIngressoProposta;
    } else if (tipo == Scheda::installazione && fonti_.installazione) {
        // Hidden for the rest of the run once closed: the flag is not stored.
        auto* v = new InstallazioneCardView(*fonti_.installazione, fonti_.chiudiInstallazione, fonti_.clock);
        c.area = v->rettangoloScheda();
        c.scheda = v;
    } else if (tipo == Scheda::aggiornamento && contenuto.aggiornamento) {
        c.scheda = creaSchedaAggiornamento(*contenuto.aggiornamento, c.area);
    } else if (tipo == Scheda::attivita && contenuto.attivita) {
        auto* v = new AttivitaCardView(*contenuto.attivita);
        c.area = v->rettangoloScheda();
        c.scheda = v;
    } else if (tipo == Scheda::musica && fonti_.media) {
        // Its waves rest while the pointer is over the card.
        auto* v = new CompactMediaCard(*fonti_.media, ondeAnimate, nullptr, fonti_.clock);
        v->resize(v->sizeHint());
        c.area = v->rettangoloCard();
        c.scheda = v;
    } else if (QWidget* v = creaSchedaAgenda(tipo, c.area)) {
        c.scheda = v;
    } else if (const auto& scelta = contenuto.usoIA) {
        auto* v = new UsoIACardView(scelta->limite, scelta->settimanale, scelta->fornitore, fonti_.clock);
        c.area = v->rettangoloScheda();
        c.scheda = v;
    }
    return c;
}

QWidget* CostruttoreSchede::creaSchedaAgenda(Scheda s, QRectF& area) const
{
    SchedaChiusa* v = nullptr;
    Clock& clock = fonti_.clock;
    switch (s) {
    case Scheda::promemoria:
        if (auto* c = fonti_.calendario; c && c->daAvvisare()) {
            auto* p = new PromemoriaCardView(
                *c->daAvvisare(), [c] { c->completaDaAvvisare(); }, [c] { c->rimandaDaAvvisare(); }, clock);
            // A failed "Fatto" or "Dopo" keeps the card, which says why.
            const auto errore = [p, c] { p->setErrore(c->erroreDi(p->promemoria().id)); };
            errore();
            QObject::connect(c, &CalendarioManager::erroriPromemoriaChanged, p, errore);
            v = p;
        }
        break;
    case Scheda::registrazione:
        if (fonti_.voce)
            v = new RegistrazioneCardView(*fonti_.voce, clock);
        break;
    case Scheda::timer:
        if (fonti_.pomodoro)
            v = new TimerCardView(*fonti_.pomodoro, clock);
        break;
    case Scheda::impegno:
        if (fonti_.calendario && fonti_.calendario->prossimo())
            v = new ImpegnoCardView(*fonti_.calendario->prossimo(), clock);
        break;
    default:
        break;
    }
    if (v)
        area = v->rettangoloScheda();
    return v;
}

QWidget* CostruttoreSchede::creaSchedaProposta(QRectF& area) const
{
    if (!fonti_.video || !fonti_.video->proposta())
        return nullptr;
    VideoNotchManager* video = fonti_.video;
    MediaManager* media = fonti_.media;
    auto* v = new PropostaVideoCardView(
        *video->proposta(),
        [video, media] { video->accettaProposta(media ? media->videoBrowser() : std::nullopt); },
        [video] { video->rifiutaProposta(); }, PropostaVideoCardView::coloreProposta());
    area = v->rettangoloScheda();
    return v;
}

QWidget* CostruttoreSchede::creaSchedaAggiornamento(const AggiornamentoCardView::Campi& campi, QRectF& area) const
{
    QPointer<AggiornamentoManager> m(fonti_.aggiornamento);
    auto* v = new AggiornamentoCardView(
        campi,
        {.onAggiorna = [m] { if (m) m->scaricaEInstalla(); },
         .onScarica = [m] { if (m) m->apriPaginaDownload(); },
         .onRimanda = [m] { if (m) m->ignoraVersione(); },
         .onApri =
             [m] {
                 if (!m)
                     return;
                 m->azzeraErrore();
                 m->apriVersioneNuova();
             }},
        fonti_.clock);
    area = v->rettangoloScheda();
    return v;
}
