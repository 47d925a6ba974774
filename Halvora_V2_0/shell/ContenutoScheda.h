#pragma once

#include "AggiornamentoCardView.h"
#include "AttivitaNotch.h"
#include "CatenaSchede.h"
#include "Impegno.h"
#include "RegoleUsoIA.h"
#include "VideoNotchManager.h"

#include <optional>

namespace CatenaSchede {

// What a card under the notch shows beyond its kind: the same kind of card
// with other content (another notice, offer, event or reminder, the usage
// shown, the alarm's layout, the update's state) is built anew.
struct ContenutoScheda {
    std::optional<AttivitaNotch> attivita;
    std::optional<VideoNotchManager::Proposta> proposta;
    std::optional<RegoleUsoIA::SceltaTacca> usoIA;
    std::optional<Impegno> impegno;
    std::optional<Promemoria> promemoria;
    bool allarme = false;
    std::optional<AggiornamentoCardView::Campi> aggiornamento;
};

// Whether the card of kind `prima`, showing `mostrato`, may stay when the
// chain asks for `ora` with `dovuto`: the same kind and content, and a
// notice or offer card stays only while it shows one.
bool stessaScheda(Scheda prima, const ContenutoScheda& mostrato, Scheda ora, const ContenutoScheda& dovuto);

} // namespace CatenaSchede
