#pragma once

#include <QWidget>

class Riquadro;

// One section of the settings page: its title over its box.
class SezioneImpostazioni : public QWidget {
    Q_OBJECT
public:
    SezioneImpostazioni(const QString& titolo, int spaziatura, QWidget* parent = nullptr);

    Riquadro* riquadro() const { return riquadro_; }

private:
    Riquadro* riquadro_ = nullptr;
};
