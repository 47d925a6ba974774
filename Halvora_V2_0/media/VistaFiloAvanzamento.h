#pragma once

#include "Clock.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QWidget>
#include <optional>

// The thin progress line of the compact media card. Between polls it glides
// to the new position over `durata`, on the layers' shared beat; a first
// value, a jump larger than 0.08 (a seek, a new track) or no duration moves
// it at once. It is drawn from a picture of the whole line, made once per
// colour and shape, of which each frame shows the part up to the line's
// end, repainting only around that end.
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
    // The line shows only inside `forma` (widget coordinates): the card's
    // outline, whose rounded corners cut its ends. Empty: all of it.
    void setForma(const QPainterPath& forma);
    bool inMoto() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void avviaMoto();
    void ridisegnaPunta();
    int pixelLarghezza() const;
    const QImage& immagine();

    Clock& clock_;
    std::optional<double> ultimaFrazione_;
    QColor colore_;
    double altezza_ = 2.5;
    double larghezza_ = 0;
    double da_ = 0, verso_ = 0, inizio_ = 0, durata_ = 0;
    TimerHandle timer_;
    int disegnata_ = -1; // device pixels of the line last drawn
    QPainterPath forma_;
    int versioneForma_ = 0;
    QImage immagine_;
    QString chiaveImmagine_;
};
