#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The composer's choices for a new reminder and the outcome of creating it.

// When to be reminded, as a quick choice.
enum class QuandoRicordare { fraUnQuartoDOra, fraUnOra, stasera, domaniMattina };

// How the reminder repeats.
enum class RipetizionePromemoria { mai, ogniGiorno, ogniSettimana, ogniMese, ogniAnno };

// How long before the due time the alarm rings.
enum class AnticipoAvviso { allOraEsatta, cinqueMinuti, quindiciMinuti, unOra, unGiorno };

namespace Scelte {

// Every case in the order the pickers show them.
QList<QuandoRicordare> tuttiQuando();
QList<RipetizionePromemoria> tutteRipetizioni();
QList<AnticipoAvviso> tuttiAnticipi();

QString etichetta(QuandoRicordare q);
QString etichetta(RipetizionePromemoria r);
QString etichetta(AnticipoAvviso a);

// The due date of a quick choice read at `ora` (local time).
QDateTime data(QuandoRicordare q, const QDateTime& ora);

// The alarm's offset from the due time, in seconds (zero or negative).
int offset(AnticipoAvviso a);

} // namespace Scelte

// What became of a creation request.
struct EsitoCreazione {
    enum class Tipo { creato, titoloVuoto, accessoNegato, nessunElenco, nonSalvato };
    EsitoCreazione(Tipo t = Tipo::creato, QString motivo = {}) : tipo(t), dettaglio(std::move(motivo)) {}
    Tipo tipo;
    QString dettaglio; // the store's own reason, for nonSalvato

    static EsitoCreazione nonSalvato(const QString& motivo) { return {Tipo::nonSalvato, motivo}; }

    // The text the composer shows, or nothing.
    std::optional<QString> messaggio() const;

    bool operator==(const EsitoCreazione&) const = default;
};
