#pragma once

#include "Puntatore.h"

// Pointer moved by the test.
class FakePuntatore final : public Puntatore {
    Q_OBJECT
public:
    using Puntatore::Puntatore;
    StatoPuntatore stato() const override { return s; }
    void sorvegliaDaVicino(bool v) override { vicino = v; }
    void sposta(QPointF p)
    {
        s.posizione = p;
        emit spostato();
    }
    void premi(bool premuto = true)
    {
        const bool giu = premuto && !s.pulsantePremuto;
        s.pulsantePremuto = premuto;
        emit spostato();
        if (giu)
            emit clic();
    }

    StatoPuntatore s;
    bool vicino = false; // what the tracker last asked for
};
