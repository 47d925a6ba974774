#pragma once

#include "SezioneImpostazioni.h"

#include <QPointer>

class AggiornamentoManager;
class LinguaManager;
class QLabel;
class QLayout;
class RigaInterruttore;
class ScorciatoiaTacca;
class SettingsManager;

// The settings section "Generale": language, version, the guide again,
// launch at login and the hot key. `scorciatoia` and `aggiornamento` may be
// null: their parts are left out.
class SezioneGenerale final : public SezioneImpostazioni {
    Q_OBJECT
public:
    SezioneGenerale(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                    AggiornamentoManager* aggiornamento, QWidget* parent = nullptr);

signals:
    // "Rivedi la guida".
    void rivediGuida();

private:
    QLayout* creaAvvioAlLogin();
    QLayout* creaScorciatoia();
    void aggiornaAvvioAlLogin();
    void aggiornaScorciatoia();
    void nominaCombinazione();

    SettingsManager& settings_;
    QPointer<ScorciatoiaTacca> scorciatoia_;
    RigaInterruttore* avvioAlLogin_ = nullptr;
    QLabel* notaAvvioAlLogin_ = nullptr;
    QLabel* erroreAvvioAlLogin_ = nullptr;
    RigaInterruttore* rigaScorciatoia_ = nullptr;
    QLabel* avvisoScorciatoia_ = nullptr;
};
