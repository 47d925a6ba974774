#include "SezioneSottoLaTacca.h"

#include "AvvisiAgenti.h"
#include "ElementiImpostazioni.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"

using namespace Impostazioni;

SezioneSottoLaTacca::SezioneSottoLaTacca(SettingsManager& settings, Pasteboard& pasteboard, Clock& clock,
                                         QWidget* parent)
    : SezioneImpostazioni(tr("Sotto la tacca"), 8, parent)
{
    Riquadro* box = riquadro();
    box->aggiungi(interruttore(settings, tr("Scheda musicale sotto la notch"),
                               tr("Il riquadro con copertina e onde che compare durante la riproduzione."),
                               "mostraSchedaMedia"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(settings, tr("Prossimo impegno sotto la notch"),
                               tr("Compare nel quarto d'ora prima di un appuntamento del calendario."),
                               "mostraProssimoImpegno"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(
        settings, tr("Uso dell'IA"),
        tr("Un anello nella notch aperta mostra quanto hai usato di Claude o di ChatGPT, a seconda dell'app che stai "
           "usando, e mentre la usi compare anche una scheda sotto la notch chiusa. Oltre i tre quarti diventano "
           "arancioni. I dati vengono dalle app Claude e ChatGPT, se installate: niente password, niente accesso "
           "all'account."),
        "mostraUsoIA"));
    box->aggiungiDivisore();
    avvisi_ = new AvvisiAgenti(pasteboard, clock, box);
    box->aggiungi(avvisi_);
    box->aggiungiDivisore();
    box->aggiungi(interruttore(settings, tr("Timer sotto la notch"),
                               tr("Il conto alla rovescia resta visibile anche a notch chiusa."), "mostraSchedaTimer"));
    box->aggiungiDivisore();
    box->aggiungi(interruttore(
        settings, tr("Annuncia i file scaricati"),
        tr("Segnala i file appena comparsi in Scaricati, compresi quelli ricevuti via AirDrop."),
        "annunciaFileScaricati"));
}
