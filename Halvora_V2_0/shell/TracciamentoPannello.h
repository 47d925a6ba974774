#pragma once

#include "Clock.h"

#include <QObject>
#include <QRectF>

class NotchPanel;
class NotchStateManager;
class Puntatore;

// Follows the pointer from outside the panel: opens the notch when it comes
// in, schedules the collapse when it leaves, keeps the card hover flag and
// the panel's click regions current, closes a hot-key opening on a click
// elsewhere and watches a drag out of the notch.
class TracciamentoPannello : public QObject {
    Q_OBJECT
public:
    static constexpr double kPassoVigilanza = 0.04;
    // How far around the hover zone the pointer is still watched closely.
    static constexpr double kVicinanza = 48;

    TracciamentoPannello(NotchStateManager& stato, Puntatore& puntatore, Clock& clock, NotchPanel& pannello,
                         QObject* parent = nullptr);

    QRectF zonaHover() const;
    // On every pointer move.
    void valutaHover();
    // Which regions take clicks, handed to the panel.
    void aggiornaInterattivita();
    // A click anywhere outside the panel's live regions.
    void chiudiSeApertaDaTastiera();
    // A drag out of the notch began: watch the buttons every 0.04 s.
    void avviaVigilanzaTrascinamento();
    bool vigilanzaAttiva() const { return vigilanza_.isActive(); }

private:
    void passoVigilanza();
    // Tells the pointer whether it is near enough to matter.
    void aggiornaSorveglianza(QPointF posizione);

    NotchStateManager& stato_;
    Puntatore& puntatore_;
    Clock& clock_;
    NotchPanel& pannello_;
    TimerHandle vigilanza_;
};
