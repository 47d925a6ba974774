#pragma once

#include "SezioneImpostazioni.h"

class AvvisiAgenti;
class Clock;
class Pasteboard;
class SettingsManager;

// The settings section "Sotto la tacca": what may show under the notch,
// with the agents' notices block.
class SezioneSottoLaTacca final : public SezioneImpostazioni {
    Q_OBJECT
public:
    SezioneSottoLaTacca(SettingsManager& settings, Pasteboard& pasteboard, Clock& clock, QWidget* parent = nullptr);

    AvvisiAgenti* avvisiAgenti() const { return avvisi_; }

private:
    AvvisiAgenti* avvisi_ = nullptr;
};
