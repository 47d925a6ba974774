#pragma once

#include "InvioVicino.h"

#include <QList>

// Records what the tray asks of the nearby-device service and answers
// the availability question with `disponibile`, at once.
class FakeInvioVicino final : public InvioVicino {
public:
    bool disponibile = true;
    QList<QStringList> chiesti;
    QList<QStringList> inviati;

    void puoInviare(const QStringList& percorsi, std::function<void(bool)> risposta) override
    {
        chiesti << percorsi;
        risposta(disponibile);
    }
    void invia(const QStringList& percorsi) override { inviati << percorsi; }
};
