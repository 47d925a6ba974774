// The quarantine service: the application starts it from its own bundle
// with one end of a socket pair as fd 3; one request (the path of a bundle),
// one answer byte, then it exits.
#include "Ascoltatore.h"
#include "CasaReale.h"
#include "FirmaBundle.h"
#include "Servizio.h"

int main()
{
    return Servizio::servi(Ascoltatore::kFd, {FirmaBundle::chiaveDiRilascio(), cartellaApplicazioni()},
                           Ascoltatore::clienteAccanto());
}
