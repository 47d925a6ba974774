#include "SceltePromemoria.h"

#include "Testi.h"

#include <QCoreApplication>

namespace {


// `giorno` at hh:00:00 local time; a time the day lacks (a clock change)
// moves forward to the next time that exists.
QDateTime alle(QDate giorno, int ora)
{
    QDateTime d(giorno, QTime(ora, 0), Qt::LocalTime);
    return d.isValid() ? d : giorno.startOfDay().addSecs(ora * 3600);
}

} // namespace

namespace Scelte {

QList<QuandoRicordare> tuttiQuando()
{
    return {QuandoRicordare::fraUnQuartoDOra, QuandoRicordare::fraUnOra, QuandoRicordare::stasera,
            QuandoRicordare::domaniMattina};
}

QList<RipetizionePromemoria> tutteRipetizioni()
{
    return {RipetizionePromemoria::mai, RipetizionePromemoria::ogniGiorno, RipetizionePromemoria::ogniSettimana,
            RipetizionePromemoria::ogniMese, RipetizionePromemoria::ogniAnno};
}

QList<AnticipoAvviso> tuttiAnticipi()
{
    return {AnticipoAvviso::allOraEsatta, AnticipoAvviso::cinqueMinuti, AnticipoAvviso::quindiciMinuti,
            AnticipoAvviso::unOra, AnticipoAvviso::unGiorno};
}

QString etichetta(QuandoRicordare q)
{
    switch (q) {
    case QuandoRicordare::fraUnQuartoDOra: return Testi::tr("Fra 15 minuti");
    case QuandoRicordare::fraUnOra: return Testi::tr("Fra un'ora");
    case QuandoRicordare::stasera: return Testi::tr("Stasera alle 18");
    case QuandoRicordare::domaniMattina: return Testi::tr("Domani alle 9");
    }
    return {};
}

QString etichetta(RipetizionePromemoria r)
{
    switch (r) {
    case RipetizionePromemoria::mai: return Testi::tr("Non si ripete");
    case RipetizionePromemoria::ogniGiorno: return Testi::tr("Ogni giorno");
    case RipetizionePromemoria::ogniSettimana: return Testi::tr("Ogni settimana");
    case RipetizionePromemoria::ogniMese: return Testi::tr("Ogni mese");
    case RipetizionePromemoria::ogniAnno: return Testi::tr("Ogni anno");
    }
    return {};
}

QString etichetta(AnticipoAvviso a)
{
    switch (a) {
    case AnticipoAvviso::allOraEsatta: return Testi::tr("All'ora esatta");
    case AnticipoAvviso::cinqueMinuti: return Testi::tr("5 minuti prima");
    case AnticipoAvviso::quindiciMinuti: return Testi::tr("15 minuti prima");
    case AnticipoAvviso::unOra: return Testi::tr("Un'ora prima");
    case AnticipoAvviso::unGiorno: return Testi::tr("Un giorno prima");
    }
    return {};
}

QDateTime data(QuandoRicordare q, const QDateTime& ora)
{
    const QDateTime adesso = ora.toLocalTime();
    switch (q) {
    case QuandoRicordare::fraUnQuartoDOra: return adesso.addSecs(900);
    case QuandoRicordare::fraUnOra: return adesso.addSecs(3600);
    case QuandoRicordare::stasera: {
        const QDateTime oggi = alle(adesso.date(), 18);
        return oggi > adesso ? oggi : alle(adesso.date().addDays(1), 18);
    }
    case QuandoRicordare::domaniMattina: return alle(adesso.date().addDays(1), 9);
    }
    return adesso;
}

int offset(AnticipoAvviso a)
{
    switch (a) {
    case AnticipoAvviso::allOraEsatta: return 0;
    case AnticipoAvviso::cinqueMinuti: return -300;
    case AnticipoAvviso::quindiciMinuti: return -900;
    case AnticipoAvviso::unOra: return -3600;
    case AnticipoAvviso::unGiorno: return -86400;
    }
    return 0;
}

} // namespace Scelte

std::optional<QString> EsitoCreazione::messaggio() const
{
    switch (tipo) {
    case Tipo::creato:
    case Tipo::titoloVuoto: return std::nullopt;
    case Tipo::accessoNegato: return Testi::tr("Accesso ai Promemoria non concesso.");
    case Tipo::nessunElenco: return Testi::tr("Nessun elenco predefinito nell'app Promemoria.");
    case Tipo::nonSalvato: return Testi::tr("Promemoria non salvato: %1").arg(dettaglio);
    }
    return std::nullopt;
}
