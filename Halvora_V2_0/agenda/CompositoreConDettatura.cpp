#include "CompositoreConDettatura.h"

#include "BackendAudioQt.h"
#include "CompositorePromemoria.h"
#include "DettaturaVocale.h"

CompositoreConDettatura::CompositoreConDettatura(CalendarioManager& manager, Clock& clock, UserDefaults& impostazioni)
    : audio_(std::make_unique<BackendAudioQt>()), trascrittore_(std::make_unique<TrascrittoreAudio>()),
      dettatura_(std::make_unique<DettaturaVocale>(*audio_, clock, impostazioni, trascrittore_->funzione())),
      compositore_(std::make_unique<CompositorePromemoria>(manager, clock, *dettatura_))
{
}

CompositoreConDettatura::~CompositoreConDettatura() = default;
