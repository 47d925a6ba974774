#pragma once

#include "Clock.h"

#include <QObject>
#include <QRect>
#include <QRectF>

class NotchPanel;
class NotchStateManager;
class Puntatore;
struct StatoPuntatore;

// Follows the pointer from outside the panel: opens the notch when it comes
// in, schedules the collapse when it leaves, keeps the card hover flag, the
// panel's click regions and the part of the canvas its window covers
// current, closes a hot-key opening on a click elsewhere and watches a drag
// out of the notch.
class TracciamentoPannello : public QObject {
    Q_OBJECT
public:
    static constexpr double kPassoVigilanza = 0.04;
    // How far around the hover zone the pointer is still watched closely.
    static constexpr double kVicinanza = 48;
    // How long the window keeps covering what the notch drew before: its
    // springs and the card's transitions are over well within it.
    static constexpr double kTenutaFinestra = 1.0;
    // How often a window that follows the closing shape gives back what it
    // leaves: each change of size repaints the whole window.
    static constexpr double kPassoRestringimento = 0.06;

    TracciamentoPannello(NotchStateManager& stato, Puntatore& puntatore, Clock& clock, NotchPanel& pannello,
                         QObject* parent = nullptr);

    QRectF zonaHover() const;
    // On every pointer move.
    void valutaHover();
    // Which regions take clicks, handed to the panel, and what its window covers.
    void aggiornaInterattivita();
    // A click anywhere outside the panel's live regions.
    void chiudiSeApertaDaTastiera();
    // A drag out of the notch began: watch the buttons every 0.04 s.
    void avviaVigilanzaTrascinamento();
    bool vigilanzaAttiva() const { return vigilanza_.isActive(); }

private:
    void passoVigilanza();
    // The window grows at once to what is drawn now and gives back what is
    // no longer drawn once that has rested for kTenutaFinestra.
    void aggiornaFinestra();
    // A window that is what takes the pointer follows the notch's shape
    // itself: it grows at once, and shrinks with the shape as it closes, in
    // steps kPassoRestringimento apart; only a card that goes keeps its
    // place for kTenutaFinestra, while its transition runs.
    void aggiornaFinestraStretta();
    // Tells the pointer whether it is near enough to matter.
    void aggiornaSorveglianza(const StatoPuntatore& p);

    NotchStateManager& stato_;
    Puntatore& puntatore_;
    Clock& clock_;
    NotchPanel& pannello_;
    TimerHandle vigilanza_;
    TimerHandle restringi_;
    QRect disegnata_; // what was drawn at the last look
    QRect schede_;    // the cards' rectangles at the last look
    QRect schedeTenute_; // cards gone, still covered until their transition ends
    TimerHandle passoStretta_;
    double ultimoRestringimento_ = -1; // monotonic seconds
    bool adattata_ = false; // the window was fitted once
};
