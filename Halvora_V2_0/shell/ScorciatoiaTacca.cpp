#include "ScorciatoiaTacca.h"

#include "TastoGlobale.h"
#include "UserDefaults.h"
#include "X11TastoGlobale.h"

namespace {
const QString kChiave = QStringLiteral("scorciatoiaTaccaAttiva");
}

ScorciatoiaTacca::ScorciatoiaTacca(TastoGlobale& tasto, UserDefaults& impostazioni, QObject* parent)
    : QObject(parent), tasto_(tasto), impostazioni_(impostazioni)
{
    // Presses reach the action on a later turn of the event loop, one per press.
    connect(&tasto_, &TastoGlobale::premuto, this, [this] {
        if (azione_)
            azione_();
    }, Qt::QueuedConnection);
}

ScorciatoiaTacca& ScorciatoiaTacca::condivisa()
{
    static auto* tasto = new X11TastoGlobale;
    static auto* istanza = new ScorciatoiaTacca(*tasto, UserDefaults::shared());
    return *istanza;
}

bool ScorciatoiaTacca::leggiScorciatoiaAttiva(const UserDefaults& impostazioni)
{
    return impostazioni.boolValue(kChiave).value_or(true);
}

void ScorciatoiaTacca::imposta(std::function<void()> azione)
{
    azione_ = std::move(azione);
    if (leggiScorciatoiaAttiva(impostazioni_)) {
        registra();
        return;
    }
    if (registrata_)
        tasto_.rilascia();
    registrata_ = false;
    setOccupata(false);
}

void ScorciatoiaTacca::registra()
{
    if (registrata_)
        return;
    registrata_ = tasto_.registra();
    setOccupata(!registrata_);
}

void ScorciatoiaTacca::rilascia()
{
    if (registrata_)
        tasto_.rilascia();
    registrata_ = false;
}

void ScorciatoiaTacca::riprendi()
{
    if (leggiScorciatoiaAttiva(impostazioni_))
        registra();
}

void ScorciatoiaTacca::setOccupata(bool v)
{
    if (occupata_ == v)
        return;
    occupata_ = v;
    emit occupataChanged();
}
