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
    QString combinazione() const override { return impostata; }
    void premi() { emit premuto(); }
    // The user sets another combination in the desktop's settings.
    void cambiaCombinazione(const QString& c)
    {
        impostata = c;
        emit combinazioneCambiata();
    }

    bool occupatoDaAltri = false;
    bool preso = false;
    int tentativi = 0;
    int rilasci = 0;
    QString impostata = TastoGlobale::combinazione();
};
