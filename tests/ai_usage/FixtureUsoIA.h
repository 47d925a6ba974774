#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Builds the files the usage readers read: entries of the desktop
// application's web cache and the coding agent's session logs.
namespace FixtureUsoIA {

// --- cache entries ---

// A zstd frame of `dati`; `conDimensione` false writes it as a stream
// whose header does not carry the content size.
QByteArray zstd(const QByteArray& dati, bool conDimensione = true);

struct Voce {
    QString chiave = QStringLiteral("1/0/_dk_https://claude.ai https://claude.ai https://claude.ai/api/organizations/"
                                    "0b1e-4c2d/usage");
    QByteArray corpo;                        // stored right after the key
    QByteArray coda = QByteArray(40, '\x7'); // what follows the body (other streams, end records)
    std::optional<quint64> magia;            // another magic number
    std::optional<quint32> lunghezzaChiave;  // another key length in the header
    std::optional<QByteArray> chiaveGrezza;  // key bytes as they are (invalid UTF-8)
};
QByteArray voce(const Voce& v);
// Writes `<cartella>/<nome>` and sets its modification time.
QString scrivi(const QString& cartella, const QString& nome, const QByteArray& dati, const QDateTime& modifica);

// A usage answer with named windows.
QByteArray rispostaNominata(double cinqueOre, double setteGiorni, const QString& azzeraCinque = {},
                            const QString& azzeraSette = {});

// --- session logs ---

struct Finestra {
    double usata;
    std::optional<double> azzeraAlle;
    std::optional<double> azzeraFra;
};
// One log line with "rate_limits" (or without, when neither window is set
// and `senzaLimiti` is true).
QByteArray rigaCodex(const QString& timestamp, std::optional<Finestra> primaria, std::optional<Finestra> secondaria,
                     std::optional<QString> limitId = std::nullopt);
// A line of another kind, with no snapshot.
QByteArray rigaSenzaLimiti(const QString& testo = QStringLiteral("ciao"));
// `<radice>/YYYY/MM/DD/<nome>` with `righe` (each ended by a line feed),
// optionally preceded by filler lines up to `riempimento` bytes.
QString scriviLog(const QString& radice, const QDate& giorno, const QString& nome, const QList<QByteArray>& righe,
                  const QDateTime& modifica, qint64 riempimento = 0);
void tocca(const QString& file, const QDateTime& modifica);

} // namespace FixtureUsoIA
