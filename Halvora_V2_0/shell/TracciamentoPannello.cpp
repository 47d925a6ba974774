#include "TracciamentoPannello.h"

#include "GeometriaPannello.h"
#include "NotchPanel.h"
#include "NotchStateManager.h"
#include "Puntatore.h"

TracciamentoPannello::TracciamentoPannello(NotchStateManager& stato, Puntatore& puntatore, Clock& clock,
                                           NotchPanel& pannello, QObject* parent)
    : QObject(parent), stato_(stato), puntatore_(puntatore), clock_(clock), pannello_(pannello)
{
    connect(&puntatore_, &Puntatore::spostato, this, &TracciamentoPannello::valutaHover);
    connect(&puntatore_, &Puntatore::clic, this, [this] {
        // Clicks on the panel's own live regions are the panel's, not "elsewhere".
        if (!pannello_.regioneInput().contains(puntatore_.stato().posizione.toPoint()))
            chiudiSeApertaDaTastiera();
    });
}

QRectF TracciamentoPannello::zonaHover() const
{
    return GeometriaPannello::zonaHover(pannello_.frameTela(), stato_);
}

void TracciamentoPannello::valutaHover()
{
    const StatoPuntatore p = puntatore_.stato();
    QRectF zona = zonaHover();
    const bool aperta = stato_.currentState() == NotchState::expanded;
    if (aperta) {
        const double m = GeometriaPannello::kMargineUscita;
        zona.adjust(-m, -m, m, m);
    }
    // Out of sight the pointer is nowhere near the notch.
    stato_.aggiornaHover(!p.fuoriVista && zona.contains(p.posizione));

    bool sopraScheda = false;
    if (stato_.currentState() == NotchState::compact && stato_.isSchedaVisibile() && !p.fuoriVista)
        sopraScheda = GeometriaPannello::rettangoloScheda(pannello_.frameTela(), stato_.dimensioneCompatta())
                          .contains(p.posizione);
    stato_.setIsMediaCardHovered(sopraScheda); // writes only on change
    aggiornaInterattivita();
    aggiornaSorveglianza(p);
}

void TracciamentoPannello::aggiornaSorveglianza(const StatoPuntatore& p)
{
    const double m = kVicinanza;
    puntatore_.sorvegliaDaVicino(vigilanza_.isActive()
                                 || (!p.fuoriVista && zonaHover().adjusted(-m, -m, m, m).contains(p.posizione)));
}

void TracciamentoPannello::aggiornaInterattivita()
{
    const StatoPuntatore p = puntatore_.stato();
    const auto regioni = GeometriaPannello::regioniCliccabili(stato_, pannello_.frameTela(), pannello_.rettangoliSchede());
    pannello_.aggiornaPassaggioClick(regioni, stato_.currentState() == NotchState::expanded, p.pulsantePremuto);
    aggiornaFinestra();
}

void TracciamentoPannello::aggiornaFinestra()
{
    if (pannello_.finestraStretta())
        return aggiornaFinestraStretta();
    const QRect disegnata =
        GeometriaPannello::areaDisegnata(stato_, pannello_.frameTela(), pannello_.rettangoliSchede()).toAlignedRect();
    if (adattata_ && disegnata == disegnata_)
        return;
    disegnata_ = disegnata;
    const QRect attuale = pannello_.geometry();
    if (!adattata_) {
        adattata_ = true;
        pannello_.adattaFinestra(disegnata);
        return;
    }
    // Until it rests, what was drawn before is still drawn as it goes.
    if (!attuale.contains(disegnata))
        pannello_.adattaFinestra(attuale.united(disegnata));
    restringi_ = clock_.singleShot(kTenutaFinestra, [this] { pannello_.adattaFinestra(disegnata_); });
}

void TracciamentoPannello::aggiornaFinestraStretta()
{
    QRect schede;
    for (const QRectF& r : pannello_.rettangoliSchede())
        schede |= r.toAlignedRect();
    if (!schede.contains(schede_)) {
        schedeTenute_ |= schede_;
        restringi_ = clock_.singleShot(kTenutaFinestra, [this] {
            schedeTenute_ = {};
            aggiornaFinestraStretta();
        });
    }
    schede_ = schede;
    // The notch where it is going and where it is drawn now: an opening
    // covers its whole size at once, a closing gives back what it leaves.
    const QRect area = zonaHover().toAlignedRect() | pannello_.areaMateriale() | schede | schedeTenute_;
    const QRect attuale = pannello_.geometry();
    if (!area.contains(attuale & pannello_.frameTela())) {
        const double ora = clock_.monotonic();
        const double attesa = ultimoRestringimento_ + kPassoRestringimento - ora;
        if (attesa > 0) {
            // What is drawn is covered now, what is given back waits for the step.
            if (!attuale.contains(area))
                pannello_.adattaFinestra(attuale | area);
            if (!passoStretta_)
                passoStretta_ = clock_.singleShot(attesa, [this] { aggiornaFinestraStretta(); });
            return;
        }
        ultimoRestringimento_ = ora;
    }
    passoStretta_.cancel();
    pannello_.adattaFinestra(area);
}

void TracciamentoPannello::chiudiSeApertaDaTastiera()
{
    if (stato_.apertaDaTastiera() && stato_.currentState() == NotchState::expanded)
        stato_.chiudiSubito();
}

void TracciamentoPannello::avviaVigilanzaTrascinamento()
{
    vigilanza_ = clock_.repeating(kPassoVigilanza, [this] { passoVigilanza(); });
    aggiornaSorveglianza(puntatore_.stato());
}

void TracciamentoPannello::passoVigilanza()
{
    const StatoPuntatore p = puntatore_.stato();
    if (!p.pulsantePremuto) {
        vigilanza_.cancel(); // the drag is over; the notch keeps its state
        aggiornaSorveglianza(p);
        return;
    }
    if (stato_.currentState() == NotchState::expanded && (p.fuoriVista || !zonaHover().contains(p.posizione))) {
        stato_.chiudiSubito();
        vigilanza_.cancel();
        aggiornaSorveglianza(p);
    }
}
