#pragma once

#include "TastoGlobale.h"

// A key combination that the test makes free or taken. With `dopo`, the
// desktop answers later: `rispondi` gives the answer to the last request.
class FakeTastoGlobale final : public TastoGlobale {
    Q_OBJECT
public:
    using TastoGlobale::TastoGlobale;
    bool registra() override
    {
        ++tentativi;
        if (dopo)
            return true;
        preso = !occupatoDaAltri;
        return preso;
    }
    bool rispondePiuTardi() const override { return dopo; }
    void rispondi()
    {
        preso = !occupatoDaAltri;
        if (preso)
            emit accettata();
        else
            emit rifiutata();
    }
    void rilascia() override
    {
        ++rilasci;
        preso = false;
    }
    void libera() override
    {
        ++liberazioni;
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
    bool dopo = false;
    bool preso = false;
    int tentativi = 0;
    int rilasci = 0;
    int liberazioni = 0;
    QString impostata = TastoGlobale::combinazione();
};
