#pragma once

#include "LettoreUsoIA.h"

#include <QStringList>
#include <functional>

// Reads the newest rate-limit snapshot from the coding agent's session
// logs (<radice>/YYYY/MM/DD/*.jsonl), looking only at the tails of the
// few newest files. It never writes or locks them.
class LettoreCodex final : public LettoreUsoIA {
public:
    using Orologio = std::function<QDateTime()>;

    // ~/.codex/sessions under the real home folder.
    static QString radicePredefinita();

    explicit LettoreCodex(Orologio ora, QString radice = radicePredefinita());

    std::optional<LetturaUsoIA> leggiUso() override;
    void dimentica() override;

    // How many files the reads have opened so far (tests, benchmarks).
    int fileAperti() const { return fileAperti_; }

    static constexpr double kRiscansioneVuota = 300.0;
    static constexpr double kRiscansione = 1800.0;
    static constexpr int kFileRecenti = 5;
    static constexpr qint64 kCoda = 2 * 1024 * 1024;

private:
    QStringList fileRecenti() const;
    QStringList fileDelGiorno(const QDateTime& adesso, int giorniFa) const;
    std::optional<LetturaUsoIA> leggiFile(const QString& file, const QDateTime& modifica);

    Orologio ora_;
    QString radice_;
    QStringList fileNoti_;
    QDateTime ultimaScansione_;
    std::optional<QDateTime> ultimaModificaLetta_;
    int fileAperti_ = 0;
};
