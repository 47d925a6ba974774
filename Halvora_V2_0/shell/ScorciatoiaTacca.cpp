#include "ScorciatoiaTacca.h"

#include "SessioneDesktop.h"
#include "TastoGlobale.h"
#include "UserDefaults.h"

#include <QCoreApplication>

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
    // A desktop that answers later; an answer to a registration given up meanwhile changes nothing.
    connect(&tasto_, &TastoGlobale::accettata, this, [this] {
        if (!registrata_)
            return;
        setOccupata(false);
        emit presa();
    });
    connect(&tasto_, &TastoGlobale::rifiutata, this, [this] {
        if (!registrata_)
            return;
        registrata_ = false;
        setOccupata(true);
    });
    connect(&tasto_, &TastoGlobale::combinazioneCambiata, this, &ScorciatoiaTacca::combinazioneChanged);
}

ScorciatoiaTacca& ScorciatoiaTacca::condivisa()
{
    static auto* tasto =
        SessioneDesktop::creaTastoGlobale({QCoreApplication::applicationFilePath(), kArgomentoPressione}).release();
    static auto* istanza = new ScorciatoiaTacca(*tasto, UserDefaults::shared());
    return *istanza;
}

QString ScorciatoiaTacca::combinazione() const
{
    return tasto_.combinazione();
}

void ScorciatoiaTacca::premuta()
{
    if (registrata_ && azione_)
        azione_();
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
    if (registrata_ || !ripulita_)
        tasto_.rilascia();
    ripulita_ = true;
    registrata_ = false;
    setOccupata(false);
}

void ScorciatoiaTacca::registra()
{
    if (registrata_)
        return;
    registrata_ = tasto_.registra();
    // A desktop that answers later says so with `accettata` or `rifiutata`.
    if (registrata_ && tasto_.rispondePiuTardi())
        return;
    setOccupata(!registrata_);
    if (registrata_)
        emit presa();
}

void ScorciatoiaTacca::rilascia()
{
    if (registrata_)
        tasto_.libera();
    registrata_ = false;
}

void ScorciatoiaTacca::congeda(int ms)
{
    if (registrata_)
        tasto_.liberaEAttendi(ms);
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
