#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

// The update feed document and the rules that read it: plain functions of
// their inputs.
namespace FeedAggiornamenti {

// Answers larger than this are not a feed.
constexpr qint64 kCorpoMassimo = 64 * 1024;

// The decoded document "/aggiornamenti.json".
struct Risposta {
    QString versione;
    std::optional<QString> minimoMacOS;
    QString download;
    std::optional<QString> pacchetto;
};

// A JSON object with the string "versione" and "download", and
// "minimoMacOS" and "pacchetto" as strings, null or absent; other keys are
// ignored. Anything else (a missing key, a wrong type, no object) is none.
std::optional<Risposta> decodifica(const QByteArray& corpo);

// The numbers of a dotted version: empty pieces dropped, a piece that is
// not a signed decimal 64-bit number counts 0 ("0b1" too).
QList<qint64> numeri(const QString& versione);
// True when `prima` is older than `seconda`; missing positions count 0.
bool versionePrecede(const QString& prima, const QString& seconda);

// Whether the running system is at least major.minor.patch.
using SistemaAlmeno = std::function<bool(int maggiore, int minore, int correzione)>;
// An absent minimum passes; otherwise its first three numbers (missing
// ones 0) go to `sistemaAlmeno`.
bool sistemaAdatto(const std::optional<QString>& minimo, const SistemaAlmeno& sistemaAlmeno);

// A link the application may follow: https with a host, else none.
std::optional<QUrl> urlSicuro(const QString& testo);

} // namespace FeedAggiornamenti
