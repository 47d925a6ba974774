#pragma once

#include <QStringList>
#include <functional>

// Sends files to a nearby device: the tray's share button.
class InvioVicino {
public:
    virtual ~InvioVicino() = default;
    // Answers once, on the GUI thread, whether `percorsi` can be sent now.
    virtual void puoInviare(const QStringList& percorsi, std::function<void(bool)> risposta) = 0;
    // Sends the files in order; the outcome is not reported.
    virtual void invia(const QStringList& percorsi) = 0;
};
