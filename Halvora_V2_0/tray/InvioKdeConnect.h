#pragma once

#include "InvioVicino.h"

#include <QObject>

class Clock;
class QProcess;

// Sending through KDE Connect's command-line client: possible when
// `kdeconnect-cli` is on the PATH and at least one paired device is
// reachable; each file is shared with the first such device, one after
// another. A client that does not answer within kAttesaMassima seconds
// counts as unavailable.
class InvioKdeConnect final : public QObject, public InvioVicino {
    Q_OBJECT
public:
    static constexpr double kAttesaMassima = 10.0;

    explicit InvioKdeConnect(Clock& clock, QObject* parent = nullptr);

    void puoInviare(const QStringList& percorsi, std::function<void(bool)> risposta) override;
    void invia(const QStringList& percorsi) override;

private:
    using Esito = std::function<void(bool riuscito, const QByteArray& uscita)>;
    // Runs the client with `argomenti` and answers once with its outcome.
    void esegui(const QStringList& argomenti, Esito esito);
    // The reachable paired devices, or nothing when there are none.
    void dispositivi(std::function<void(QStringList)> risposta);
    void inviaDa(QString dispositivo, QStringList restanti);

    Clock& clock_;
};
