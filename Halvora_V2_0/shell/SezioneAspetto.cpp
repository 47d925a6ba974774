#include "SezioneAspetto.h"

#include "ElementiImpostazioni.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"

using namespace Impostazioni;

// Heading and box stand apart here, at the page's own spacing.
SezioneAspetto::SezioneAspetto(SettingsManager& settings, QWidget* parent)
    : SezioneImpostazioni(tr("Aspetto"), 18, parent)
{
    riquadro()->aggiungi(interruttore(settings, tr("Tacca discreta"),
                                      tr("A riposo resta solo una linguetta sul bordo dello schermo, che si apre "
                                         "avvicinando il puntatore. Riduce le aperture involontarie e, sui Mac senza "
                                         "tacca fisica, libera la barra dei menu."),
                                      "taccaDiscreta"));
}
