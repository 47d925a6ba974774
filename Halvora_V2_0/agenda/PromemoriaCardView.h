#pragma once

#include "Impegno.h"
#include "SchedaChiusa.h"

#include <functional>

class PulsanteCapsula;
class VistaFormaPulsante;

// The closed notch's card of a reminder that has just fallen due: a
// pulsing orange card 290 by 46 with a checklist badge, the title,
// "Promemoria", and the buttons "Dopo" (later) and "Fatto" (done), which
// only call the actions they are given.
class PromemoriaCardView : public SchedaChiusa {
    Q_OBJECT
public:
    static constexpr QSizeF kDimensione{290, 46};

    PromemoriaCardView(Promemoria promemoria, std::function<void()> onFatto, std::function<void()> onRimanda,
                       Clock& clock, QWidget* parent = nullptr);

    const Promemoria& promemoria() const { return promemoria_; }
    // Why "Fatto" or "Dopo" failed, said in place of "Promemoria"; empty: nothing failed.
    void setErrore(const QString& errore);
    QString sottotitolo() const;
    PulsanteCapsula* pulsanteDopo() const { return dopo_; }
    PulsanteCapsula* pulsanteFatto() const { return fatto_; }

protected:
    void disegnaPrimoPiano(QPainter& p) override;

private:
    Promemoria promemoria_;
    QString errore_;
    std::function<void()> onFatto_, onRimanda_;
    VistaFormaPulsante* sfondo_;
    VistaFormaPulsante* badge_;
    PulsanteCapsula* dopo_;
    PulsanteCapsula* fatto_;
};
