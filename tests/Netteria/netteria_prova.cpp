// The quarantine service as test builds know it: it trusts the test key and
// serves the Applications folder named by HALVORA_PROVA_APPLICAZIONI, never
// the user's own.
#include "Ascoltatore.h"
#include "FirmaBundle.h"
#include "Servizio.h"

#include <QFile>

int main()
{
    QFile pem(QStringLiteral(HALVORA_CHIAVE_PROVA_PEM));
    const QByteArray chiave = pem.open(QIODevice::ReadOnly) ? FirmaBundle::chiavePubblica(pem.readAll()) : QByteArray();
    return Servizio::servi(Ascoltatore::kFd, {chiave, qEnvironmentVariable("HALVORA_PROVA_APPLICAZIONI")},
                           Ascoltatore::clienteAccanto());
}
