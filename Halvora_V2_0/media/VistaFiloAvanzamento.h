#pragma once

#include "Clock.h"

#include <QColor>
#include <QWidget>
#include <optional>

// The thin progress line of the compact media card. Between polls it glides
// to the new position over `durata`; a first value, a jump larger than
// 0.08 (a seek, a new track) or no duration moves it at once.
class VistaFiloAvanzamento : public QWidget {
    Q_OBJECT
public:
    static constexpr double kSaltoMassimo = 0.08;

    explicit VistaFiloAvanzamento(QWidget* parent = nullptr, Clock& clock = Clock::system());

    void aggiorna(double frazione, double larghezza, double altezza, const QColor& colore, double durata);
    // Whether a change from `vecchia` to `nuova` glides rather than jumps.
    static bool scorre(std::optional<double> vecchia, double nuova, double durata);
    // The line's width at this moment.
    double larghezzaCorrente() const;
    const QColor& colore() const { return colore_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void ridisegnaPunta();
    int pixelLarghezza() const;

    Clock& clock_;
    std::optional<double> ultimaFrazione_;
    QColor colore_;
    double altezza_ = 2.5;
    double da_ = 0, verso_ = 0, inizio_ = 0, durata_ = 0;
    TimerHandle timer_;
    int disegnata_ = -1; // device pixels of the line last drawn
};
