#pragma once

#include "LettoreUsoIA.h"

#include <QStringList>
#include <functional>

// Reads the usage answers that the Claude desktop application keeps in
// its web cache. It never writes there and never goes on the network.
class LettoreClaudeDesktop final : public LettoreUsoIA {
public:
    struct Configurazione {
        // Cache folders, tried in order: the first that can be listed is
        // the one scanned.
        QStringList cartelle;
        // The provider's web domains; a usage key contains one of them.
        QStringList domini;
    };
    using Orologio = std::function<QDateTime()>;

    // Where the application keeps its cache: the macOS-style path under
    // the real home, then ~/.config/Claude (the Linux build).
    static Configurazione configurazionePredefinita();

    explicit LettoreClaudeDesktop(Orologio ora, Configurazione conf = configurazionePredefinita());

    std::optional<LetturaUsoIA> leggiUso() override;
    void dimentica() override;

    // How many entry files the last scan opened, and how many reads opened
    // an entry in full (for tests and benchmarks).
    int fileApertiNellaScansione() const { return apertiScansione_; }
    int vociLette() const { return vociLette_; }

    static constexpr double kRiscansioneVuota = 300.0;
    static constexpr double kRiscansione = 1800.0;
    static constexpr int kVociEsaminate = 400;

private:
    QStringList vociRecenti();
    std::optional<LetturaUsoIA> leggiVoceCache(const QString& file, const QDateTime& modifica);

    Orologio ora_;
    Configurazione conf_;
    QStringList vociNote_;
    QDateTime ultimaScansione_;
    std::optional<QDateTime> ultimaModificaLetta_;
    int apertiScansione_ = 0;
    int vociLette_ = 0;
};
