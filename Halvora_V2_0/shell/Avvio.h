#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The application from its start to its end. The shipped executable takes
// every default; a test build of the same code names its own key, server
// and Applications folder here, so nothing but a separate executable ever
// trusts them.
namespace Avvio {

struct Configurazione {
    QString versione;     // this build's when empty
    QString applicazioni; // where installed copies live; ~/Applications of the real home when empty
    QUrl feed;            // the update endpoint; this build's when empty
    QString autorita;     // a PEM file of the only authorities trusted for updates; the system's when empty
    QByteArray chiave;    // the key updates must be signed with; the built-in one when empty
};

int esegui(int argc, char* argv[], const Configurazione& c = {});

} // namespace Avvio
