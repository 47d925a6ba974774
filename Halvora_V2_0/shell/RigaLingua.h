#pragma once

#include <QWidget>

class LinguaManager;
class QComboBox;
class QLabel;

// The interface-language row of the settings page: the menu and the note
// under it, following the language manager.
class RigaLingua final : public QWidget {
    Q_OBJECT
public:
    explicit RigaLingua(LinguaManager& lingua, QWidget* parent = nullptr);

private:
    void aggiorna();

    LinguaManager& lingua_;
    QComboBox* sceltaLingua_ = nullptr;
    QLabel* notaLingua_ = nullptr;
};
