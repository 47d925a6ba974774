#pragma once

#include "Clock.h"
#include "NotchStateManager.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <functional>
#include <optional>

// The tab row of the open notch: its order, opening a tab by click or by
// resting the pointer on it for 0.18 s, the direction of the module change,
// the settings gear and the power button.
class BarraSchede : public QObject {
    Q_OBJECT
public:
    static constexpr double kRitardoAperturaTab = 0.18;
    static const QList<NotchTab>& ordine();
    static QString simbolo(NotchTab tab);
    static QColor colore(NotchTab tab);

    BarraSchede(NotchStateManager& stato, Clock& clock, QObject* parent = nullptr);

    std::optional<NotchTab> hoveredTab() const { return hoveredTab_; }
    bool direzioneAvanti() const { return direzioneAvanti_; }
    bool showSettings() const { return showSettings_; }
    bool aperturaInSospeso() const { return apertura_.isActive(); }

    void selezionaTab(NotchTab tab);
    void passaggioSuTab(bool entrato, NotchTab tab);
    void programmaAperturaTab(NotchTab tab);
    void setShowSettings(bool v);

    // One step of the power button: runs `ferma` when `attivo` holds.
    struct Passo {
        std::function<bool()> attivo;
        std::function<void()> ferma;
    };
    // Stops what runs, in the given order, hides the settings and closes the notch.
    void fermaTutto(const QList<Passo>& passi);

signals:
    void cambiato();
    void showSettingsChanged();

private:
    NotchStateManager& stato_;
    Clock& clock_;
    std::optional<NotchTab> hoveredTab_;
    bool direzioneAvanti_ = false;
    bool showSettings_ = false;
    TimerHandle apertura_;
};
