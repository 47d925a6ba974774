#include "CatenaSchede.h"

namespace CatenaSchede {

QList<SchedaPersistente> idonee(bool registrazioneAttiva, bool timerAttivo, bool impegno, bool usoIA,
                                bool mediaAttivo)
{
    QList<SchedaPersistente> l;
    if (registrazioneAttiva)
        l << SchedaPersistente::registrazione;
    if (timerAttivo)
        l << SchedaPersistente::timer;
    if (impegno)
        l << SchedaPersistente::impegno;
    if (usoIA)
        l << SchedaPersistente::usoIA;
    if (mediaAttivo)
        l << SchedaPersistente::musica;
    return l;
}

std::optional<SchedaPersistente> correntePersistente(const QList<SchedaPersistente>& lista, int indice)
{
    if (lista.isEmpty())
        return std::nullopt;
    const auto n = static_cast<int>(lista.size());
    return lista[((indice % n) + n) % n];
}

Passo avanza(int indice, qsizetype quante)
{
    if (quante < 2)
        return {0, false};
    const auto n = static_cast<int>(quante);
    return {(((indice + 1) % n) + n) % n, true};
}

bool contenutoChiusoVisibile(bool chiusa, bool schermoIntero, bool eccezione)
{
    return chiusa && (eccezione || !schermoIntero);
}

Scheda scegli(const Ingressi& in)
{
    if (!in.chiusa)
        return Scheda::nessuna;
    const bool libero = !in.schermoIntero;
    const bool clic = richiedeClick(in.allarmeAttivo, in.promemoriaDaAvvisare);
    const bool dovuto = !in.allarmeAttivo && in.promemoriaDaAvvisare;
    const auto p = in.persistente;
    if (in.video != StatoVideo::chiuso && !clic)
        return Scheda::video;
    if (libero && !clic && in.propostaVideo)
        return Scheda::propostaVideo;
    if (libero && in.installazioneDaSistemare)
        return Scheda::installazione;
    if (libero && in.aggiornamentoDisponibile)
        return Scheda::aggiornamento;
    if (libero && in.attivitaCorrente)
        return Scheda::attivita;
    if (dovuto)
        return Scheda::promemoria;
    if (libero && p == SchedaPersistente::registrazione && !in.allarmeAttivo)
        return Scheda::registrazione;
    if (in.allarmeAttivo || (libero && p == SchedaPersistente::timer))
        return Scheda::timer;
    if (libero && p == SchedaPersistente::impegno && in.impegnoPresente)
        return Scheda::impegno;
    if (libero && p == SchedaPersistente::usoIA && in.usoIAPresente)
        return Scheda::usoIA;
    if (libero && p == SchedaPersistente::musica)
        return Scheda::musica;
    return Scheda::nessuna;
}

bool sbiadisceAlPassaggio(Scheda s, bool allarmeAttivo)
{
    switch (s) {
    case Scheda::attivita:
    case Scheda::impegno:
    case Scheda::usoIA:
    case Scheda::musica:
        return true;
    case Scheda::timer:
        return !allarmeAttivo;
    default:
        return false;
    }
}

bool richiedeClick(bool allarmeAttivo, bool promemoriaDaAvvisare)
{
    return allarmeAttivo || promemoriaDaAvvisare;
}

namespace {
// Visibility and clicks follow one rule: a card that must be answered or a
// video always counts, full screen hides the rest, and otherwise `resto` decides.
bool secondoLaRegolaDelloSlot(const Ingressi& in, bool resto)
{
    if (richiedeClick(in.allarmeAttivo, in.promemoriaDaAvvisare) || in.video != StatoVideo::chiuso)
        return true;
    if (in.schermoIntero)
        return false;
    return resto || in.propostaVideo;
}
} // namespace

bool visibilitaScheda(const Ingressi& in, bool contenutoPersistente)
{
    return secondoLaRegolaDelloSlot(in, contenutoPersistente);
}

bool richiestaClick(const Ingressi& in, bool registrando)
{
    return secondoLaRegolaDelloSlot(in, registrando);
}

} // namespace CatenaSchede
