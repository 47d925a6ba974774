// The application as its update test knows it: it trusts the test key and
// the certificate in HALVORA_PROVA_AUTORITA only, reads its feed at
// HALVORA_PROVA_FEED, keeps installed copies in HALVORA_PROVA_APPLICAZIONI
// and is the version its bundle's Info.json says, so that one build serves
// as the installed copy and as the update.
#include "Avvio.h"
#include "BundleProva.h"
#include "InfoBundle.h"

#include <QFileInfo>

int main(int argc, char* argv[])
{
    const QString applicazioni = qEnvironmentVariable("HALVORA_PROVA_APPLICAZIONI");
    if (applicazioni.isEmpty())
        return 2; // never the user's own
    const auto info = InfoBundle::daBundle(QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path());
    return Avvio::esegui(argc, argv,
                         {info ? info->versione : QString(), applicazioni, QUrl(qEnvironmentVariable("HALVORA_PROVA_FEED")),
                          qEnvironmentVariable("HALVORA_PROVA_AUTORITA"), BundleProva::chiavePubblica()});
}
