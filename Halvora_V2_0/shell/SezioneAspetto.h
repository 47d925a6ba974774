#pragma once

#include "SezioneImpostazioni.h"

class SettingsManager;

// The settings section "Aspetto": the discreet notch.
class SezioneAspetto final : public SezioneImpostazioni {
    Q_OBJECT
public:
    explicit SezioneAspetto(SettingsManager& settings, QWidget* parent = nullptr);
};
