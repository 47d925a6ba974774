#pragma once

#include "Clock.h"
#include "LetturaUsoIA.h"
#include "PresentazioneUsoIA.h"

#include <QColor>
#include <QImage>
#include <QWidget>

// The colours of the usage views by band. The notch is dark, so the
// primary label colour is white.
namespace ColoriUsoIA {
QColor primario(double opacita = 1.0);
QColor secondario();
QColor arco(FasciaUso f);
QColor percentuale(FasciaUso f);
QColor accento(FasciaUso f, FornitoreIA fornitore);
} // namespace ColoriUsoIA

// The usage ring: a faint full track and an arc from 12 o'clock,
// clockwise, for the share used.
class AnelloUsoIA final : public QWidget {
    Q_OBJECT
public:
    AnelloUsoIA(const LimiteIA& limite, double diametro, double spessore, QWidget* parent = nullptr);
    static void disegna(QPainter& p, const QRectF& quadrato, const LimiteIA& limite, double spessore);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    LimiteIA limite_;
    double spessore_;
};

// The provider's mark: the Claude logo in its colour, the desktop
// application's icon for Codex, or a speech bubble when it has none.
class SimboloFornitore final : public QWidget {
    Q_OBJECT
public:
    SimboloFornitore(FornitoreIA fornitore, double lato, QWidget* parent = nullptr);
    static void disegna(QPainter& p, const QRectF& quadrato, FornitoreIA fornitore);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    FornitoreIA fornitore_;
};

// The closed notch's usage card: ring and mark, "Claude · sessione", the
// reset line (refreshed every minute) and the percentage, on a tinted
// rounded card with a glow in the band's colour. The widget is larger
// than the 240 × 46 card by the room its shadows take.
class UsoIACardView final : public QWidget {
    Q_OBJECT
public:
    UsoIACardView(const LimiteIA& limite, bool settimanale, FornitoreIA fornitore, Clock& clock,
                  QWidget* parent = nullptr);

    static constexpr QSize kScheda{240, 46};
    static constexpr QMargins kMargini{20, 12, 20, 28};
    // Where the card lies inside the widget.
    QRect rettangoloScheda() const;

    QString titolo() const;
    // The reset line now shown; empty when there is none.
    QString rigaAzzeramento() const { return rigaAzzeramento_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void aggiornaRiga();
    QImage ombra(qreal dpr) const;

    LimiteIA limite_;
    bool settimanale_;
    FornitoreIA fornitore_;
    Clock& clock_;
    QString rigaAzzeramento_;
    TimerHandle ticchettio_;
    mutable QImage ombra_;
};
