#pragma once

#include <QWidget>

// The foot of the settings page: back to the tabs, and quitting.
class PiedeImpostazioni final : public QWidget {
    Q_OBJECT
public:
    explicit PiedeImpostazioni(QWidget* parent = nullptr);

signals:
    // "Torna Indietro".
    void chiudi();
};
