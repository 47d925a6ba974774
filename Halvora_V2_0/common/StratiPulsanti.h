#pragma once

#include "Clock.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

// Two small self-animating widgets: a shape whose opacity pulses and a
// symbol that rocks about its centre. Both step on the layers' shared beat
// (BattitoStrati) at a reduced frame rate, draw each frame from a picture
// made once, never take clicks, and restart their animation only when what
// drives it changes.

// The frame-rate range both animations ask for, made once per process.
struct IntervalloFotogrammi {
    double minimo;
    double massimo;
    double preferito;
};
const IntervalloFotogrammi& intervalloFotogrammi();

// Progress (0…1, eased in and out) of an animation that goes from its start
// to its end in pi / velocita seconds, reverses and repeats for ever, at
// `trascorso` seconds after it began. A speed that is not a positive finite
// number holds the start.
double avanzamentoOscillante(double trascorso, double velocita);

// Configuration of a pulsing shape.
struct FormaPulsante {
    struct Forma {
        enum class Tipo { rettangolo, cerchio };
        Tipo tipo = Tipo::rettangolo;
        double raggio = 0; // corner radius of a rectangle

        static Forma rettangolo(double raggio) { return {Tipo::rettangolo, raggio}; }
        static Forma cerchio() { return {Tipo::cerchio, 0}; }
        bool operator==(const Forma&) const = default;
    };
    struct Ombra {
        float opacita = 0;
        double raggio = 0;  // blur radius
        double discesa = 0; // how far it falls below the shape
        bool operator==(const Ombra&) const = default;
    };
    // The two opacities the shape swings between.
    struct Intervallo {
        double inferiore = 0;
        double superiore = 1;
        bool operator==(const Intervallo&) const = default;
    };

    QColor colore;
    Forma forma;
    Intervallo opacita;
    double velocita = 1; // each leg lasts pi / velocita seconds
    std::optional<Ombra> ombra;
};

// Configuration of a rocking symbol.
struct SimboloOscillante {
    QString simbolo;
    double dimensione = 16;
    QFont::Weight peso = QFont::Normal;
    QColor colore;
    double gradi = 10;   // half the swing
    double velocita = 1; // each leg lasts pi / velocita seconds
};

// A soft shadow of `forma` in `colore`, blurred by `raggio`, on a
// transparent image of `lato` (the shape is drawn where it lies).
QImage ombraSfocata(const QPainterPath& forma, const QSize& lato, double raggio, const QColor& colore);

class OmbraForma;

// Draws a FormaPulsante filling its bounds; its shadow may fall outside them.
class VistaFormaPulsante : public QWidget {
    Q_OBJECT
public:
    explicit VistaFormaPulsante(QWidget* parent = nullptr, Clock& clock = Clock::system());
    ~VistaFormaPulsante() override;

    void configura(const FormaPulsante& configurazione);
    const std::optional<FormaPulsante>& configurazione() const { return configurazione_; }

    // Opacity of the shape at this moment of the pulse.
    double opacitaCorrente() const;
    // Opacity of its shadow at this moment (0 without one).
    double opacitaOmbra() const;
    // Corner radius the shape gets in the current bounds.
    double raggioAngoli() const;
    // The shape's outline in widget coordinates.
    QPainterPath tracciato() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;

private:
    void avviaPulsazione();
    void seguiOmbra();
    void fotogramma();
    // Where the pulse is along its course, 0…1.
    double avanzamento() const;
    // The shape at full opacity, made again only when it changes.
    const QImage& immagine();

    Clock& clock_;
    std::optional<FormaPulsante> configurazione_;
    double inizio_ = 0;
    TimerHandle timer_;
    double corsoDisegnato_ = -1; // where along its course the pulse was last drawn
    int alfaDisegnato_ = -1;     // the opacity last drawn, in 255ths
    int alfaOmbra_ = -1;     // the shadow's, drawn apart
    QImage immagine_;
    // What the picture was made for: size, scale, corner radius, colour.
    std::array<double, 5> chiaveImmagine_{};
    QPointer<OmbraForma> ombra_;
    friend class OmbraForma;
};

// Draws a SimboloOscillante centred in its bounds, rocking about its centre.
class VistaSimboloOscillante : public QWidget {
    Q_OBJECT
public:
    explicit VistaSimboloOscillante(QWidget* parent = nullptr, Clock& clock = Clock::system());

    void configura(const SimboloOscillante& configurazione);
    const std::optional<SimboloOscillante>& configurazione() const { return configurazione_; }

    // Size of the last drawn symbol image; empty until one is drawn.
    QSize dimensioneImmagine() const { return dimensioneImmagine_; }
    // The last rendered symbol image (null until one is drawn).
    const QPixmap& immagine() const { return immagine_; }
    // Rotation at this moment, in degrees.
    double angoloCorrente() const;

    QSize sizeHint() const override { return dimensioneImmagine_; }
    QSize minimumSizeHint() const override { return dimensioneImmagine_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void disegnaSimbolo();
    void avviaOscillazione();

    Clock& clock_;
    std::optional<SimboloOscillante> configurazione_;
    QPixmap immagine_;
    QSize dimensioneImmagine_;
    double inizio_ = 0;
    TimerHandle timer_;
};
