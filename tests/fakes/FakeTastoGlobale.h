#pragma once

#include "TastoGlobale.h"

// A key combination that the test makes free or taken.
class FakeTastoGlobale final : public TastoGlobale {
    Q_OBJECT
public:
    using TastoGlobale::TastoGlobale;
    bool registra() override
    {
        ++tentativi;
        preso = !occupatoDaAltri;
        return preso;
    }
    void rilascia() override
    {
        ++rilasci;
        preso = false;
    }
    void premi() { emit premuto(); }

    bool occupatoDaAltri = false;
    bool preso = false;
    int tentativi = 0;
    int rilasci = 0;
};
