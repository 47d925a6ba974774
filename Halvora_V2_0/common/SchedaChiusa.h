#pragma once

#include "Clock.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QMargins>
#include <QPainterPath>
#include <QWidget>
#include <array>
#include <functional>

// The look the closed notch's feature cards share: a row 46 high on a card
// with rounded corners of 16, calm (frosted, tinted by a diagonal gradient
// of the card's colour) or urgent (on a pulsing shape), captions in small
// tracked capitals and capsule buttons. Drawn on the dark notch: the
// primary text colour is white.
namespace AspettoScheda {
constexpr double kAltezza = 46;
constexpr double kRaggio = 16;
constexpr double kPadding = 12;    // left and right of the row
constexpr double kSpaziatura = 10; // between the row's items

QColor conOpacita(QColor c, double opacita);
QColor primario(double opacita = 1.0);
QColor secondario();
// The faintest text colour that still reads at 4.5:1 over the panel and
// the veils of its rows.
QColor terziario();
// The panel behind a text at its lightest, against which text colours are
// judged: the dense fill over a white window, under a white veil of `velo`.
QColor fondoTesti(double velo = 0);
// `sopra` laid over the opaque `sotto`.
QColor composto(const QColor& sopra, const QColor& sotto);
// The contrast ratio of two opaque colours, from 1 to 21.
double contrasto(const QColor& a, const QColor& b);
// `colore` lightened towards white just as far as it takes to read at
// 4.5:1 over the opaque `fondo`: a coloured text keeps its hue.
QColor leggibile(const QColor& colore, const QColor& fondo);
// `colore` made readable over `tinta` laid on the panel under a veil `velo`.
QColor leggibileSulPannello(const QColor& colore, double velo = 0, const QColor& tinta = Qt::transparent);
// The fill that stands in for the system's ultra-thin material: lighter
// where the compositor blurs what lies behind the drawn shapes, dense
// enough elsewhere that texts stay legible over a white or busy window.
QColor materiale();
void setSfocaturaDietro(bool sfocata);
// A card's outline: a rectangle with rounded corners of kRaggio.
QPainterPath formaScheda(const QRectF& r);
// The interface font at a size in points (logical pixels).
QFont carattere(double punti, QFont::Weight peso, bool monospazio = false);
// 8-point semibold with 0.8 of letter tracking.
QFont didascalia();
// One line of text, left-aligned and vertically centred in `dove`, cut
// with an ellipsis at the end when too long.
void riga(QPainter& p, const QRectF& dove, const QString& testo, const QFont& f, const QColor& colore);
// A symbol `lato` points square, centred in `dove`.
void simbolo(QPainter& p, const QString& nome, const QRectF& dove, double lato, const QColor& colore);
// A filled circle inscribed in `dove`, copied from a picture kept for its
// size and colour: no shape is filled again each time a card is drawn.
void disco(QPainter& p, const QRectF& dove, const QColor& colore);
} // namespace AspettoScheda

// Base of a closed-notch card. The widget is the card grown by kMargini,
// the room its shadows take; rettangoloScheda() is the card inside it.
// Children that pulse or rock lie over the card's own painting; the text
// and outline of disegnaPrimoPiano() lie over them, and buttons over all.
// Background and outline are drawn from pictures made once per look and
// size, so that a frame of what pulses over them, or a picture of the card
// taken for a transition, fills no shape again.
class SchedaChiusa : public QWidget {
    Q_OBJECT
public:
    static constexpr QMargins kMargini{30, 22, 30, 30};

    SchedaChiusa(QSizeF dimensione, Clock& clock, QWidget* parent = nullptr);

    QRectF rettangoloScheda() const;
    QSizeF dimensioneScheda() const { return dimensione_; }

    // What the card shows changed: its foreground, kept as a picture
    // between changes, is drawn again. A repaint asked for through a plain
    // widget pointer (what lies beneath moved) copies the picture.
    using QWidget::update;
    void update();

protected:
    void setDimensioneScheda(QSizeF dimensione);
    // Frosted fill, a gradient of `colore` from opacity `da` (top left) to
    // `a` (bottom right), a white outline at 16 %, a shadow of `colore` at
    // `ombra` (radius 18, 8 down) and a black one at 10 % (radius 3, 1 down).
    void disegnaSfondoCalmo(QPainter& p, const QColor& colore, double da, double a, double ombra);
    // Only the two shadows and the frosted fill (cards whose tint pulses).
    void disegnaFondo(QPainter& p, const QColor& coloreOmbra);
    // The outline of the card, `larghezza` wide.
    void disegnaBordo(QPainter& p, const QColor& colore, double larghezza = 0.5);
    // Text, symbols and outline drawn above the pulsing layers.
    virtual void disegnaPrimoPiano(QPainter& p) = 0;
    // Keeps the foreground layer just above the pulsing children.
    void alzaPrimoPiano();
    // The row's horizontal extent inside the card (padding removed).
    QRectF rigaContenuto() const;

    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* e) override;

    Clock& clock_;

private:
    // What a picture was drawn for, compared as numbers: a frame formats
    // no text. The caller's values first, then the widget's size and scale.
    using Chiave = std::array<double, 9>;
    // A picture of the whole widget, kept while `chiave` stays the same.
    struct Immagine {
        Chiave chiave{};
        QImage immagine;
    };
    void disegnaDa(QPainter& p, Immagine& immagine, Chiave chiave, const std::function<void(QPainter&)>& disegna);

    QSizeF dimensione_;
    class PrimoPiano* primoPiano_;
    Immagine fondo_, bordo_;
};

// A number text whose changed characters roll: the old one rises out as
// the new one rises in from below, eased in and out over `durata`. It
// rolls only while its card is visible, on frames of the card's clock.
class RulloCifre {
public:
    RulloCifre(SchedaChiusa& vista, Clock& clock, double durata);

    // A new text; a changed one rolls when the view is visible.
    void imposta(const QString& testo);
    // One line, left-aligned and vertically centred in `dove`.
    void disegna(QPainter& p, const QRectF& dove, const QFont& f, const QColor& colore) const;
    // Ends the roll at once (the view is hidden).
    void ferma();
    const QString& testo() const { return testo_; }
    bool inCorso() const { return fotogrammi_.isActive(); }

private:
    double avanzamento() const;

    SchedaChiusa& vista_;
    Clock& clock_;
    double durata_;
    QString testo_, precedente_;
    double inizio_ = 0;
    TimerHandle fotogrammi_;
};

// A plain button drawn as a filled capsule around its label (an optional
// symbol, 4 points before the text).
class PulsanteCapsula : public QAbstractButton {
    Q_OBJECT
public:
    struct Stile {
        QFont font;
        QColor testo;
        QColor fondo;
        double paddingX = 10;
        double paddingY = 5;
        QString simbolo = {};
        double latoSimbolo = 9;
    };

    PulsanteCapsula(const QString& testo, Stile stile, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    const Stile& stile() const { return stile_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void disegna(QPainter& p);

    // Drawn once per label, size and state, copied afterwards.
    QImage immagine_;
    struct {
        QSize lato;
        qreal dpr = 0;
        bool giu = false;
        QString testo;
    } chiave_;
    Stile stile_;
};

// A symbol on a filled circle `lato` across; the whole circle is the button.
class PulsanteTondo : public QAbstractButton {
    Q_OBJECT
public:
    PulsanteTondo(QString simbolo, double lato, double latoSimbolo, QColor colore, QColor fondo,
                  QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QString simbolo_;
    double latoSimbolo_;
    QColor colore_, fondo_;
};
