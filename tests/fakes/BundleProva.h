#pragma once

#include <QByteArray>
#include <QString>

// Signed test bundles. The test key is trusted only where a test hands it
// over (or a test-only executable is built with it); no shipped build knows it.
namespace BundleProva {

// The test key: its private half in PEM form, and the 32-byte public half.
QByteArray chiavePrivata();
QByteArray chiavePubblica();
// A fresh Ed25519 private key (PEM) that nothing trusts.
QByteArray chiaveEstranea();

// Makes `cartella` a bundle: an Info.json naming `identificatore` (this
// application when empty) and `versione`, and the executable "halvora" (a
// small shell script unless `eseguibile` names a file to copy).
bool crea(const QString& cartella, const QString& identificatore = {}, const QString& versione = QStringLiteral("2.0"),
          const QString& eseguibile = {});
// Writes a file inside the bundle (folders made as needed), executable or not.
bool aggiungi(const QString& cartella, const QString& percorso, const QByteArray& contenuto, bool eseguibile = false);
// Signs the bundle with the test key, or with `pem`; the error, empty once signed.
QString firma(const QString& cartella, const QByteArray& pem = chiavePrivata());

} // namespace BundleProva
