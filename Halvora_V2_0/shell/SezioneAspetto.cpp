#include "SezioneAspetto.h"

#include "ElementiImpostazioni.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"

using namespace Impostazioni;

// Heading and box as close as in every other section.
SezioneAspetto::SezioneAspetto(SettingsManager& settings, QWidget* parent)
    : SezioneImpostazioni(tr("Aspetto"), 8, parent)
{
    riquadro()->aggiungi(interruttore(settings, tr("Tacca discreta"),
                                      tr("A riposo resta solo una linguetta sul bordo dello schermo, che si apre "
                                         "avvicinando il puntatore. Riduce le aperture involontarie e, sui Mac senza "
                                         "tacca fisica, libera la barra dei menu."),
                                      "taccaDiscreta"));
}
