#pragma once

#include "Clock.h"

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QPixmap>
#include <QWidget>
#include <functional>

class Installazione;
class QAbstractButton;

// The bar under the closed notch that offers to install the application in
// ~/Applications, follows the copy, and then asks to open the installed
// copy or, when the copy failed, to drag the application there by hand. It
// keeps only its phase; the work is Installazione's. The widget is the 372
// by 46 card grown by the room its shadow takes.
class InstallazioneCardView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{372, 46};
    static constexpr QMargins kMargini{30, 22, 30, 30};

    struct Fase {
        enum class Tipo { fallita, daFare, inCorso, daAprire };
        Tipo tipo = Tipo::daFare;
        QString messaggio; // of a failure, shown as it came
        bool operator==(const Fase&) const = default;
    };

    InstallazioneCardView(Installazione& installazione, std::function<void()> onChiudi, Clock& clock,
                          QWidget* parent = nullptr);
    ~InstallazioneCardView() override;

    const Fase& fase() const { return fase_; }
    QRectF rettangoloScheda() const;
    QAbstractButton* pulsanteAzione() const { return azione_; }
    QAbstractButton* pulsanteChiudi() const { return chiudi_; }

    // What the phase shows.
    QString simbolo() const;
    QColor colore() const;
    QString titolo() const;
    QString sottotitolo() const;
    // Empty while the copy runs: a spinner stands in its place.
    QString etichettaAzione() const;
    QString suggerimentoAzione() const;

    // Ends the change of phase at once (renders, tests).
    void completaTransizione();

protected:
    void paintEvent(QPaintEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void azione();
    void impostaFase(Fase f);
    void aggiornaPulsante();
    void disegnaContenuto(QPainter& p) const;

    Installazione& installazione_;
    Clock& clock_;
    Fase fase_;
    QAbstractButton* chiudi_;
    QAbstractButton* azione_;
    mutable QImage ombra_; // drawn again only when the colour changes
    mutable QColor coloreOmbra_;
    // The phase before the change, faded out on a spring.
    QPixmap prima_;
    double inizioTransizione_ = 0;
    TimerHandle fotogrammi_;
};
