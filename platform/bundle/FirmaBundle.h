#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The signature of an application bundle: a manifest listing every entry
// (type, mode, size, SHA-256 and path) signed with Ed25519. A bundle is valid
// when the signature verifies against the trusted public key, every entry
// matches, nothing is unlisted, no link leads outside, nothing is a device,
// FIFO, socket or setuid/setgid file, and Info.json names this application
// and an executable of the bundle. The signature folder itself is not listed.
namespace FirmaBundle {

inline constexpr char kCartellaFirma[] = "Firma";
inline constexpr char kManifesto[] = "manifesto"; // in the signature folder
inline constexpr char kFirma[] = "firma";         // 64 bytes, the Ed25519 signature of the manifest

enum class Esito {
    valido,
    nessunaChiave,         // no trusted key, or not an Ed25519 public key
    illeggibile,           // the bundle or an entry could not be read
    senzaFirma,            // no signature folder, or not as written by `firma`
    firmaNonValida,        // the manifest is not signed by the trusted key
    voceDiversa,           // an entry differs from its line in the manifest
    voceMancante,          // a listed entry is missing
    voceInPiu,             // an entry is not listed
    voceVietata,           // a link leading outside, or a device, FIFO, socket or setuid file
    infoNonValida,         // Info.json missing or malformed, or its executable not in the bundle
    identificatoreDiverso, // Info.json names another application
};

struct Verifica {
    Esito esito = Esito::illeggibile;
    QString voce; // the entry at fault, relative to the bundle, when there is one
    bool valida() const { return esito == Esito::valido; }
};

// The identifier Info.json must name.
QString identificatore();
// The public key this build trusts (32 raw bytes); empty when it was built
// without one, and then no bundle is valid.
QByteArray chiaveDiRilascio();

// Checks the bundle at `bundle` (a link there is refused), or the folder
// open at `cartella`, against `chiavePubblica`.
Verifica verifica(const QString& bundle, const QByteArray& chiavePubblica);
Verifica verifica(int cartella, const QByteArray& chiavePubblica);

// Writes the bundle's signature folder, signed with the Ed25519 private key
// in PEM form. The error, or none once signed.
std::optional<QString> firma(const QString& bundle, const QByteArray& chiavePrivataPem);
// The raw public key of an Ed25519 private key in PEM form; empty otherwise.
QByteArray chiavePubblica(const QByteArray& chiavePrivataPem);

// One line on an outcome, for the signing tool and diagnostics.
QString descrizione(const Verifica& v);

} // namespace FirmaBundle
