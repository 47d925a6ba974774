#pragma once

#include "Impegno.h"
#include "SchedaChiusa.h"

// The closed notch's card of the next appointment: an indigo calendar
// badge, the title and how soon it starts (and where), 240 by 46 on a calm
// indigo card. It has no actions.
class ImpegnoCardView : public SchedaChiusa {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{240, 46};

    ImpegnoCardView(Impegno impegno, Clock& clock, QWidget* parent = nullptr);

    const Impegno& impegno() const { return impegno_; }
    // "ora", "fra 1 minuto" or "fra N minuti": the whole minutes up to the
    // start, rounded up, in the interface's language.
    static QString testoInizio(const QDateTime& inizio, const QDateTime& ora);
    // The start text, then " · " and the place when there is one.
    QString sottotitolo() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void disegnaPrimoPiano(QPainter& p) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void programmaAggiornamento();

    Impegno impegno_;
    // While shown, the start text is redrawn when its minute count changes.
    TimerHandle prossimoCambio_;
};
