#include "Reazioni.h"

#include "Colori.h"

#include <QCoreApplication>

namespace Reazioni {

std::optional<AttivitaNotch> avvisoAlimentazione(const std::optional<StatoAlimentazione>& prima,
                                                 const std::optional<StatoAlimentazione>& dopo)
{
    if (!prima || !dopo || prima->allaCorrente == dopo->allaCorrente)
        return std::nullopt;
    AttivitaNotch a;
    if (dopo->allaCorrente && dopo->inCarica) {
        a.simbolo = QStringLiteral("battery.100.bolt");
        a.titolo = QCoreApplication::translate("Halvora", "In carica");
        a.tinta = Colori::verde();
    } else if (dopo->allaCorrente) {
        a.simbolo = QStringLiteral("powerplug.fill");
        a.titolo = QCoreApplication::translate("Halvora", "Alimentatore collegato");
        a.tinta = Colori::verde();
    } else {
        a.simbolo = QStringLiteral("battery.50");
        a.titolo = QCoreApplication::translate("Halvora", "Alimentazione a batteria");
        if (dopo->percentuale <= 20)
            a.tinta = Colori::arancione();
    }
    a.dettaglio = QStringLiteral("%1%").arg(dopo->percentuale);
    return a;
}

} // namespace Reazioni
