#include "ContenutoScheda.h"

namespace CatenaSchede {

bool stessaScheda(Scheda prima, const ContenutoScheda& mostrato, Scheda ora, const ContenutoScheda& dovuto)
{
    const auto presenteUguale = [](const auto& a, const auto& b) { return a && b && *a == *b; };
    return prima == ora && (ora != Scheda::attivita || presenteUguale(mostrato.attivita, dovuto.attivita))
           && (ora != Scheda::propostaVideo || presenteUguale(mostrato.proposta, dovuto.proposta))
           && mostrato.usoIA == dovuto.usoIA && mostrato.impegno == dovuto.impegno
           && mostrato.promemoria == dovuto.promemoria && mostrato.allarme == dovuto.allarme
           && mostrato.aggiornamento == dovuto.aggiornamento;
}

} // namespace CatenaSchede
