// The root view's part of the update card: its fields from the update
// manager and the rebuild on every change.
#include "RootNotchView.h"

#include "AggiornamentoManager.h"
#include "NotchStateManager.h"

std::optional<AggiornamentoCardView::Campi> RootNotchView::campiAggiornamento() const
{
    const AggiornamentoManager* m = aggiornamentoManager_.get();
    if (!m || m->versioneDisponibile().isEmpty())
        return std::nullopt;
    const QString passo = m->passoAggiornamento();
    return AggiornamentoCardView::Campi{m->versioneDisponibile(), passo.isEmpty() ? std::nullopt : std::optional(passo),
                                        m->erroreAggiornamento(), m->installata(), !m->urlPacchetto().isEmpty()};
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
