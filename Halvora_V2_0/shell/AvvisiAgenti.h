#pragma once

#include "Clock.h"
#include "FornitoreIA.h"

#include <QWidget>
#include <optional>
#include <vector>

class Pasteboard;

namespace Impostazioni {
class Pulsante;
}

// The settings block on the agents' notices: what they are, and one button
// per agent that copies the request installing its hooks.
class AvvisiAgenti final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kDurataCopiato = 2.0; // s

    AvvisiAgenti(Pasteboard& pasteboard, Clock& clock, QWidget* parent = nullptr);

    // The agent whose hook request shows "Copiato" now.
    std::optional<FornitoreIA> messaggioCopiato() const { return messaggioCopiato_; }
    // Puts the request that installs the agent's hooks on the clipboard and
    // shows "Copiato" on its button for two seconds.
    void copiaIstruzioni(FornitoreIA fornitore);

private:
    void aggiornaPulsantiCopia();

    Pasteboard& pasteboard_;
    Clock& clock_;
    std::optional<FornitoreIA> messaggioCopiato_;
    // One reset per press: an earlier press's reset finds its agent still
    // shown only when no other button was pressed since.
    std::vector<TimerHandle> ripristiniCopiato_;
    Impostazioni::Pulsante* copiaClaude_ = nullptr;
    Impostazioni::Pulsante* copiaCodex_ = nullptr;
};
