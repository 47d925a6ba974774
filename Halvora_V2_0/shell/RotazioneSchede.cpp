#include "RotazioneSchede.h"

#include "CatenaSchede.h"

RotazioneSchede::RotazioneSchede(Clock& clock, std::function<qsizetype()> quante, QObject* parent)
    : QObject(parent), clock_(clock), quante_(std::move(quante))
{
}

void RotazioneSchede::avvia()
{
    timer_ = clock_.repeating(kPeriodo, [this] { passo(); });
}

void RotazioneSchede::passo()
{
    const auto p = CatenaSchede::avanza(indice_, quante_());
    if (p.indice == indice_)
        return;
    indice_ = p.indice;
    emit indiceChanged(p.animato);
}
