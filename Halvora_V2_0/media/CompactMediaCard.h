#pragma once

#include "Clock.h"
#include "StatoMedia.h"

#include <QImage>
#include <QMargins>
#include <QWidget>

class MediaManager;
class VistaFiloAvanzamento;
class VistaOndeSonore;

// The closed notch's music card: artwork tile, title, sound waves and a
// progress line on a plate tinted by the artwork's colour. The card itself
// is 180 by 46; the widget is larger by margini() so its shadow fits: place
// it with the card where it belongs. It has no buttons; clicks go through.
class CompactMediaCard : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kCard{180, 46};
    static QMargins margini() { return {20, 12, 20, 28}; }

    CompactMediaCard(MediaManager& manager, bool ondeAnimate, QWidget* parent = nullptr, Clock& clock = Clock::system());
    explicit CompactMediaCard(QWidget* parent = nullptr, Clock& clock = Clock::system());

    void setStato(const StatoMedia& stato);
    void setOndeAnimate(bool animate);
    // The card's rectangle inside the widget.
    QRectF rettangoloCard() const;

    // Progress of the line: 0 without a duration, else time over duration in 0…1.
    static double frazione(double tempo, double durata);
    // The line's colour: the tint (or the accent) blended with white by 0.18.
    static QColor coloreFilo(const std::optional<QColor>& tinta);

    VistaOndeSonore* onde() const { return onde_; }
    VistaFiloAvanzamento* filo() const { return filo_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void aggiornaFilo();
    void disegnaCarta(QPainter& p);

    Clock& clock_;
    StatoMedia stato_;
    VistaOndeSonore* onde_;
    VistaFiloAvanzamento* filo_;
    TransizioneTinta tinta_;
    QImage immagine_;
    QString chiaveImmagine_;
};
