#pragma once

#include "PlayerTacca.h"

#include <QStringList>

// The notch player of the tests: notes every call ("carica <id> <start>
// muto|suono", "svuota", "alterna", "allinea <s>", "muta", "smuta") and
// answers the time it is given; the test sends the page's messages with
// invia().
class FakePlayerTacca final : public PlayerTacca {
public:
    QStringList chiamate;
    std::optional<double> tempo;

    void carica(const QString& videoID, double inizio, bool muto) override
    {
        chiamate << QStringLiteral("carica %1 %2 %3")
                        .arg(videoID, QString::number(inizio, 'f', 2), muto ? QStringLiteral("muto") : QStringLiteral("suono"));
    }
    void svuota() override { chiamate << QStringLiteral("svuota"); }
    void alterna() override { chiamate << QStringLiteral("alterna"); }
    void allinea(double secondi) override { chiamate << QStringLiteral("allinea ") + QString::number(secondi, 'f', 2); }
    void muta() override { chiamate << QStringLiteral("muta"); }
    void smuta() override { chiamate << QStringLiteral("smuta"); }
    void chiediTempo(std::function<void(std::optional<double>)> risposta) override { risposta(tempo); }

    void invia(const QString& json) { emit messaggio(json); }
};
