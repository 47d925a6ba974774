// The reminder operations of CalendarioManager: create, complete, snooze
// and open where the store is set up.
#include "ArchivioAgenda.h"
#include "CalendarioManager.h"
#include "Testi.h"


void CalendarioManager::creaPromemoria(const QString& titolo, const QDateTime& scadenza,
                                       RipetizionePromemoria ripetizione, AnticipoAvviso anticipo, EsitoCallback fatto)
{
    avvia();
    const QString pulito = titolo.trimmed();
    if (pulito.isEmpty()) {
        if (fatto)
            fatto({EsitoCreazione::Tipo::titoloVuoto});
        return;
    }
    const NuovoPromemoria nuovo{pulito, scadenza, ripetizione, Scelte::offset(anticipo)};
    const QDateTime ora = clock_.now();
    suCoda([this, nuovo, ora, fatto = std::move(fatto)](ArchivioAgenda& archivio) -> Passo {
        const EsitoCreazione esito = archivio.crea(nuovo, ora);
        return [this, esito, fatto] {
            if (esito.tipo == EsitoCreazione::Tipo::creato)
                aggiornaPromemoria();
            if (fatto)
                fatto(esito);
        };
    }, true);
}

void CalendarioManager::completaPromemoria(const Promemoria& p) { completa(p, {}); }

void CalendarioManager::completa(const Promemoria& p, std::function<void(bool)> poi)
{
    const QDateTime ora = clock_.now();
    suCoda([this, id = p.id, ora, poi = std::move(poi)](ArchivioAgenda& archivio) -> Passo {
        const EsitoScrittura esito = archivio.completa(id, ora);
        return [this, id, esito, poi] {
            if (esito.tipo == EsitoScrittura::Tipo::nonSalvato)
                segnalaErrore(id, Testi::tr("Non completato: %1").arg(esito.errore));
            else
                togliErrore(id);
            // A reminder that is gone changes nothing that a refresh would show.
            if (esito.tipo != EsitoScrittura::Tipo::nonTrovato)
                aggiornaPromemoria();
            if (poi)
                poi(esito.tipo != EsitoScrittura::Tipo::nonSalvato);
        };
    }, true);
}

void CalendarioManager::completaDaAvvisare()
{
    if (!daAvvisare_ || azioneInCorso_)
        return;
    azioneInCorso_ = true;
    const QString id = daAvvisare_->id;
    completa(*daAvvisare_, [this, id](bool fatto) {
        azioneInCorso_ = false;
        // A failed save keeps the card: the reminder is not done.
        if (fatto && daAvvisare_ && daAvvisare_->id == id)
            setDaAvvisare(std::nullopt);
    });
}

void CalendarioManager::rimandaDaAvvisare()
{
    if (!daAvvisare_ || azioneInCorso_)
        return;
    azioneInCorso_ = true;
    const QString id = daAvvisare_->id;
    const QDateTime quando = clock_.now().addSecs(kRinvioSecondi);
    suCoda([this, id, quando](ArchivioAgenda& archivio) -> Passo {
        const EsitoScrittura esito = archivio.rimanda(id, quando);
        return [this, id, esito] {
            azioneInCorso_ = false;
            if (esito.tipo == EsitoScrittura::Tipo::nonTrovato)
                return; // the card stays
            if (esito.tipo == EsitoScrittura::Tipo::nonSalvato) {
                // The reminder keeps its time: the card stays and says why, as after a failed "Fatto".
                segnalaErrore(id, Testi::tr("Non rimandato: %1").arg(esito.errore));
                aggiornaPromemoria();
                return;
            }
            togliErrore(id);
            giaAvvisati_.remove(id); // so it is announced again when the new time comes
            if (daAvvisare_ && daAvvisare_->id == id)
                setDaAvvisare(std::nullopt);
            aggiornaPromemoria();
        };
    }, true);
}

void CalendarioManager::segnalaErrore(const QString& id, const QString& messaggio)
{
    erroriPromemoria_.insert(id, messaggio);
    emit erroriPromemoriaChanged();
    emit operazioneFallita(messaggio);
}

void CalendarioManager::togliErrore(const QString& id)
{
    if (erroriPromemoria_.remove(id))
        emit erroriPromemoriaChanged();
}

void CalendarioManager::apriImpostazioniPrivacy()
{
    setAvvisoImpostazioni(archivio_->apriImpostazioni() ? QString()
                                                         : Testi::tr("Nessuna app può aprire le impostazioni dei calendari"));
}

void CalendarioManager::setAvvisoImpostazioni(const QString& testo)
{
    if (testo == avvisoImpostazioni_)
        return;
    avvisoImpostazioni_ = testo;
    emit avvisoImpostazioniChanged();
}
