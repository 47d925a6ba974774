#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// The service's one task: clear the download mark from a bundle that lies
// directly in the Applications folder and is signed with the trusted key,
// then say whether anything in it still carries the mark.
namespace Servizio {

struct Configurazione {
    QByteArray chiave;    // the public key a bundle must be signed with
    QString applicazioni; // the only folder whose bundles are served
};

// The bundle folder, open for the walk, when `percorso` is exactly
// <applicazioni>/<name>.app once "." and ".." and a trailing slash are
// removed, is a folder itself (not a link) and is validly signed; else -1.
// Nothing is changed either way.
int validaApp(const QString& percorso, const Configurazione& c);
// Strips the mark from the bundle and everything inside it, then checks
// every item in the same order; false when validation fails or an item
// kept the mark (the others stay stripped).
bool pulisci(const QString& percorso, const Configurazione& c);

// The whole life of the process: checks the peer on `fd`, reads the one
// request, answers it; the exit status.
int servi(int fd, const Configurazione& c, const std::string& cliente);

} // namespace Servizio
