#include "Servizio.h"

#include "AlberoBundle.h"
#include "Ascoltatore.h"
#include "FirmaBundle.h"
#include "Quarantena.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace Servizio {

int validaApp(const QString& percorso, const Configurazione& c)
{
    if (!QDir::isAbsolutePath(percorso) || c.applicazioni.isEmpty())
        return -1;
    // Lexical only: links are not resolved, the last one is refused below.
    const QString pulito = QDir::cleanPath(percorso);
    const qsizetype barra = pulito.lastIndexOf(QLatin1Char('/'));
    const QString cartella = pulito.left(barra);
    const QString nome = pulito.mid(barra + 1);
    if (cartella != QDir::cleanPath(c.applicazioni) || !nome.endsWith(QLatin1String(".app")) ||
        nome.size() <= 4)
        return -1;
    const int applicazioni = ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (applicazioni < 0)
        return -1;
    const int bundle = AlberoBundle::apriCartellaIn(applicazioni, QFile::encodeName(nome).toStdString());
    ::close(applicazioni);
    if (bundle < 0)
        return -1;
    if (!FirmaBundle::verifica(bundle, c.chiave).valida()) {
        ::close(bundle);
        return -1;
    }
    return bundle;
}

bool pulisci(const QString& percorso, const Configurazione& c)
{
    const int bundle = validaApp(percorso, c);
    if (bundle < 0)
        return false;
    Quarantena::rimuoviDaAlbero(bundle);
    const bool pulito = Quarantena::alberoPulito(bundle);
    ::close(bundle);
    return pulito;
}

int servi(int fd, const Configurazione& c, const std::string& cliente)
{
    if (!Ascoltatore::accetta(fd, cliente))
        return 1;
    const auto richiesta = Ascoltatore::leggiRichiesta(fd);
    if (!richiesta)
        return 1;
    return Ascoltatore::rispondi(fd, pulisci(*richiesta, c)) ? 0 : 1;
}

} // namespace Servizio
