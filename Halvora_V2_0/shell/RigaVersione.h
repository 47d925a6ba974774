#pragma once

#include <QPointer>
#include <QWidget>

class AggiornamentoManager;
class QLabel;

namespace Impostazioni {
class Pulsante;
}

// The version row of the settings page: the running version, the last
// manual check's result, an announced version, and the button that checks.
class RigaVersione final : public QWidget {
    Q_OBJECT
public:
    explicit RigaVersione(AggiornamentoManager& aggiornamento, QWidget* parent = nullptr);

private:
    void aggiorna();

    QPointer<AggiornamentoManager> aggiornamento_;
    QLabel* esitoVerifica_ = nullptr;
    QLabel* versioneDisponibile_ = nullptr;
    Impostazioni::Pulsante* cercaAggiornamenti_ = nullptr;
};
