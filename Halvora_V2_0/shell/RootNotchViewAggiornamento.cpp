// The root view's part of the update card: its fields from the update
// manager, its actions bound to the manager, and the rebuild on every change.
#include "RootNotchView.h"

#include "AggiornamentoManager.h"
#include "NotchStateManager.h"

#include <QPointer>

std::optional<AggiornamentoCardView::Campi> RootNotchView::campiAggiornamento() const
{
    const AggiornamentoManager* m = aggiornamentoManager_.get();
    if (!m || m->versioneDisponibile().isEmpty())
        return std::nullopt;
    const QString passo = m->passoAggiornamento();
    return AggiornamentoCardView::Campi{m->versioneDisponibile(), passo.isEmpty() ? std::nullopt : std::optional(passo),
                                        m->erroreAggiornamento(), m->installata(), !m->urlPacchetto().isEmpty()};
}

QWidget* RootNotchView::creaSchedaAggiornamento(QRectF& area)
{
    const auto campi = campiAggiornamento();
    if (!campi)
        return nullptr;
    QPointer<AggiornamentoManager> m(aggiornamentoManager_.get());
    auto* v = new AggiornamentoCardView(
        *campi,
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
        servizi_.clock);
    area = v->rettangoloScheda();
    return v;
}

void RootNotchView::collegaAggiornamento()
{
    AggiornamentoManager* m = aggiornamentoManager_.get();
    if (!m)
        return;
    // An announced update keeps the card slot clickable while closed; the
    // flag follows the announcement, also when it is withdrawn.
    connect(m, &AggiornamentoManager::versioneDisponibileChanged, this, [this, m] {
        stato_.setAggiornamentoDaMostrare(!m->versioneDisponibile().isEmpty());
        aggiornaVisibilitaScheda();
        aggiornaSlot();
    });
    // The card is built afresh whenever a field it shows changes.
    for (auto segnale : {&AggiornamentoManager::passoAggiornamentoChanged, &AggiornamentoManager::erroreAggiornamentoChanged,
                         &AggiornamentoManager::installataChanged, &AggiornamentoManager::urlPacchettoChanged})
        connect(m, segnale, this, &RootNotchView::aggiornaSlot);
}
