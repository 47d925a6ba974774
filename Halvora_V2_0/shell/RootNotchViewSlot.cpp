// The root view's card slot: the inputs of the card chain, the flags it
// copies into the notch state, and the one card hanging under the notch.
#include "RootNotchView.h"

#include "AttivitaCardView.h"
#include "AttivitaManager.h"
#include "CalendarioManager.h"
#include "CompactMediaCard.h"
#include "CostruttoreSchede.h"
#include "MonitorSchermoIntero.h"
#include "NotchStateManager.h"
#include "PropostaVideoCardView.h"
#include "RotazioneSchede.h"
#include "SlotScheda.h"
#include "TransizioneScheda.h"
#include "UsoIAMonitor.h"
#include "VideoNotchManager.h"
#include "VoiceManager.h"
#include "AggiornamentoManager.h"

#include <QGraphicsOpacityEffect>

using namespace CatenaSchede;

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

void RootNotchView::aggiornaSlot()
{
    const Scheda nuova = scegli(ingressi());
    // A closing notch brings its card back once the shape has drawn in to
    // the strip, not over the panel still closing.
    slotRimandato_ = nuova != Scheda::nessuna && !slot_->scheda() && stato_.currentState() == NotchState::compact
                     && isVisible() && animatore_.attivo() && !formaAlLembo();
    if (slotRimandato_) {
        QMetaObject::invokeMethod(this, &RootNotchView::preparaSlot, Qt::QueuedConnection);
        return;
    }
    const ContenutoScheda dovuto = contenutoDovuto(nuova);
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
    if (stessa) {
        // A card made ahead and not brought (the notch opened again) would be stale next time.
        if (std::exchange(pronta_, std::nullopt))
            slot_->prepara(nullptr);
        return;
    }
    const CostruttoreSchede::Costruita costruita = costruisciScheda(nuova, dovuto);
    QWidget* card = costruita.scheda;
    // A card that comes under the pointer comes faded out. (The video card
    // embeds a native window, which an effect cannot draw; it never fades.)
    if (card && sbiadisceAlPassaggio(nuova, allarmeAttivo()) && stato_.isMediaCardHovered()) {
        auto* effetto = new QGraphicsOpacityEffect(card);
        effetto->setOpacity(0);
        card->setGraphicsEffect(effetto);
    }
    // Until the slot has handed the card leaving over, it is the current one.
    slot_->imposta(card, costruita.area, costruita.ingresso,
                   daRotazione_ ? TransizioneScheda::kMollaRotazione : TransizioneScheda::kMolla);
    corrente_ = card ? std::optional(SchedaPronta{nuova, dovuto, costruita, card}) : std::nullopt;
    disponi();
}

bool RootNotchView::riponi(QWidget* scheda)
{
    // The rotation's cards come back every few seconds: each is made once.
    // A card drawn through a fading effect is made anew.
    static constexpr int kRiposte = 2;
    if (!corrente_ || corrente_->vista != scheda || scheda->graphicsEffect())
        return false;
    switch (corrente_->tipo) {
    case Scheda::registrazione:
    case Scheda::timer:
    case Scheda::impegno:
    case Scheda::usoIA:
    case Scheda::musica:
        break;
    default:
        return false;
    }
    riposte_.prepend(*std::exchange(corrente_, std::nullopt));
    while (riposte_.size() > kRiposte)
        if (QWidget* via = riposte_.takeLast().vista)
            via->deleteLater();
    return true;
}

std::optional<CostruttoreSchede::Costruita> RootNotchView::ripresa(Scheda nuova, const ContenutoScheda& dovuto)
{
    for (qsizetype i = 0; i < riposte_.size(); ++i) {
        if (riposte_[i].tipo != nuova)
            continue;
        SchedaPronta r = riposte_.takeAt(i);
        // A card of that kind showing something else no longer comes back.
        if (!r.vista || stato_.isMediaCardHovered() || !stessaScheda(nuova, r.contenuto, nuova, dovuto)) {
            if (r.vista)
                r.vista->deleteLater();
            return std::nullopt;
        }
        if (auto* media = qobject_cast<CompactMediaCard*>(r.vista.data()))
            media->setOndeAnimate(true);
        return r.costruita;
    }
    return std::nullopt;
}

ContenutoScheda RootNotchView::contenutoDovuto(Scheda nuova) const
{
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
    return dovuto;
}

CostruttoreSchede::Costruita RootNotchView::costruisciScheda(Scheda nuova, const ContenutoScheda& dovuto)
{
    // The card made ahead, while it still is the card due.
    if (prontaPer(nuova, dovuto))
        return std::exchange(pronta_, std::nullopt)->costruita;
    pronta_.reset();
    if (auto r = ripresa(nuova, dovuto))
        return *r;
    // The video card is the root view's own: it resizes the slot as it goes.
    CostruttoreSchede::Costruita costruita;
    if (nuova == Scheda::video)
        costruita.scheda = creaSchedaVideo(costruita.area);
    else
        costruita = costruttore_->costruisci(nuova, dovuto, !stato_.isMediaCardHovered());
    return costruita;
}

void RootNotchView::preparaSlot()
{
    // Queued from the step that held the card back: it runs between two
    // frames, and the frame that brings the card in only shows it. A card
    // under the pointer (it comes faded) and the video card (a native
    // window) are made when they come.
    if (!slotRimandato_ || stato_.isMediaCardHovered())
        return;
    const Scheda nuova = scegli(ingressi());
    if (nuova == Scheda::nessuna || nuova == Scheda::video)
        return;
    const ContenutoScheda dovuto = contenutoDovuto(nuova);
    if (prontaPer(nuova, dovuto))
        return;
    const auto ripresa = this->ripresa(nuova, dovuto);
    const CostruttoreSchede::Costruita costruita = ripresa ? *ripresa : costruttore_->costruisci(nuova, dovuto, true);
    if (!costruita.scheda)
        return;
    pronta_ = SchedaPronta{nuova, dovuto, costruita, costruita.scheda};
    slot_->prepara(costruita.scheda);
}

bool RootNotchView::prontaPer(Scheda nuova, const ContenutoScheda& dovuto) const
{
    return pronta_ && pronta_->vista && pronta_->tipo == nuova && !stato_.isMediaCardHovered()
           && stessaScheda(nuova, pronta_->contenuto, nuova, dovuto);
}
