#pragma once

#include "VideoNotchManager.h"

#include <QList>
#include <optional>

// Which single card hangs under the closed notch, and the rules of the
// card flags the panel reads. Plain functions of plain inputs.
namespace CatenaSchede {

// The persistent cards, in priority order.
enum class SchedaPersistente { registrazione, timer, impegno, usoIA, musica };

// Every card the slot can hold, in the chain's priority order.
enum class Scheda {
    nessuna,
    video,
    propostaVideo,
    installazione,
    aggiornamento,
    attivita,
    promemoria,
    registrazione,
    timer,
    impegno,
    usoIA,
    musica,
};

// The video in the notch: closed, or any of its live states.
using StatoVideo = VideoNotchManager::Stato::Tipo;

struct Ingressi {
    bool chiusa = true;
    bool schermoIntero = false;
    bool allarmeAttivo = false;
    bool promemoriaDaAvvisare = false;
    StatoVideo video = StatoVideo::chiuso;
    bool propostaVideo = false;
    bool installazioneDaSistemare = false;
    bool aggiornamentoDisponibile = false;
    bool attivitaCorrente = false;
    bool impegnoPresente = false;
    bool usoIAPresente = false;
    std::optional<SchedaPersistente> persistente;
};

// The eligible persistent cards, in their order.
QList<SchedaPersistente> idonee(bool registrazioneAttiva, bool timerAttivo, bool impegno, bool usoIA,
                                bool mediaAttivo);
// The entry at `indice` modulo the list's length; none for an empty list.
std::optional<SchedaPersistente> correntePersistente(const QList<SchedaPersistente>& lista, int indice);
// The counter after one 4.5 s tick: 0 with fewer than two entries (no
// animation), else the next entry.
struct Passo {
    int indice;
    bool animato;
};
Passo avanza(int indice, qsizetype quante);

// The chain: first match wins.
Scheda scegli(const Ingressi& in);
// Whether a card fades while the pointer is over it (notice, timer without
// a ringing alarm, appointment, usage, music).
bool sbiadisceAlPassaggio(Scheda s, bool allarmeAttivo);

// Card flags: a card is up that must be clicked away (alarm or due reminder).
bool richiedeClick(bool allarmeAttivo, bool promemoriaDaAvvisare);
// Whether a card hangs under the closed notch.
bool visibilitaScheda(const Ingressi& in, bool contenutoPersistente);
// Whether that card takes clicks.
bool richiestaClick(const Ingressi& in, bool registrando);
// Closed-notch content may show: closed and either not full screen or the exception holds.
bool contenutoChiusoVisibile(bool chiusa, bool schermoIntero, bool eccezione);

} // namespace CatenaSchede
