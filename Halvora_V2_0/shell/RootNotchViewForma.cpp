// The root view's notch shape in motion and at rest: the springs that move
// it, the frames they will pass through (drawn ahead), where the open
// content lies in each frame and how it is cut by the shape, and the
// shape's own drawing.
#include "RootNotchView.h"

#include "AreaSchede.h"
#include "BarraSchede.h"
#include "Disegno.h"
#include "EffettoStrato.h"
#include "FormaTacca.h"
#include "GeometriaPannello.h"
#include "NotchStateManager.h"
#include "PannelloAperto.h"
#include "SchedaChiusa.h"
#include "SlotScheda.h"

#include <QPainter>
#include <algorithm>
#include <utility>

namespace {
constexpr CostantiMolla kForma{0.4, 0.7};
} // namespace

CostantiMolla RootNotchView::mollaCambio(MetaForma da, MetaForma a)
{
    using M = MetaForma;
    if (a == M::guida && da != M::guida)
        return PannelloAperto::kGuidaEntra;
    if (da == M::guida && a != M::guida)
        return PannelloAperto::kGuidaEsce;
    if (da == M::scheda && a == M::impostazioni)
        return PannelloAperto::kVersoImpostazioni;
    if (da == M::impostazioni && a == M::scheda)
        return PannelloAperto::kTornaIndietro;
    return kForma;
}

RootNotchView::MetaForma RootNotchView::metaForma() const
{
    if (stato_.currentState() != NotchState::expanded)
        return MetaForma::chiusa;
    if (stato_.modalitaGuida())
        return MetaForma::guida;
    return stato_.impostazioniAperte() ? MetaForma::impostazioni : MetaForma::scheda;
}

void RootNotchView::preparaMolle()
{
    const QSizeF iniziale = dimensioneTacca();
    larghezza_.salta(iniziale.width());
    altezza_.salta(iniziale.height());
    apertura_.salta(stato_.currentState() == NotchState::expanded ? 1 : 0);
    // Half a pixel, and half a step of the content's opacity.
    larghezza_.setTolleranza(0.5);
    altezza_.setTolleranza(0.5);
    apertura_.setTolleranza(0.5 / 255);
    animatore_.segui(&larghezza_);
    animatore_.segui(&altezza_);
    animatore_.segui(&apertura_);
    connect(&animatore_, &AnimatoreMolle::passo, this, &RootNotchView::passoForma);
    connect(&immagini_, &ImmaginiTacca::pronta, this, [this] { update(areaTacca()); });
}

void RootNotchView::passoForma()
{
    // A step that changes no pixel (the springs' long tail) draws nothing.
    const Fotogramma ora = fotogramma();
    if (animatore_.attivo() && ora == ultimo_)
        return;
    ultimo_ = ora;
    if (!animatore_.attivo())
        segueForma_ = false;
    disponi();
    if (!animatore_.attivo())
        anticipaForme(); // the next opening's
    ridisegnaForma();
    // A card held back while the notch closed comes once the shape is the strip.
    if (slotRimandato_ && formaAlLembo())
        aggiornaSlot();
}

void RootNotchView::ridisegnaForma()
{
    // Only where the shape was and is now.
    const QRect area = areaTacca();
    update(area.united(areaDisegnata_));
    areaDisegnata_ = area;
}

QSizeF RootNotchView::dimensioneTacca() const
{
    return stato_.currentState() == NotchState::expanded ? stato_.expandedSize() : stato_.dimensioneCompatta();
}

QRectF RootNotchView::rettangoloTacca() const
{
    return QRectF((width() - larghezza_.valore()) / 2, 0, larghezza_.valore(), altezza_.valore());
}

QRectF RootNotchView::rettangoloObiettivo() const
{
    const QSizeF d = dimensioneTacca();
    const bool linguetta = stato_.currentState() == NotchState::compact && stato_.linguettaAttiva();
    return QRectF((width() - d.width()) / 2, 0, d.width(), linguetta ? GeometriaPannello::kAltezzaLinguetta : d.height());
}

QPainterPath RootNotchView::formaDisegnata() const
{
    QRectF tacca = rettangoloTacca();
    if (stato_.currentState() == NotchState::compact && stato_.linguettaAttiva())
        tacca.setHeight(GeometriaPannello::kAltezzaLinguetta);
    return Disegno::rettangoloContinuo(tacca, 0, FormaTacca::kRaggioSotto);
}

bool RootNotchView::formaAlLembo() const
{
    return rettangoloTacca().height() <= stato_.dimensioneCompatta().height() + 0.5;
}

QRect RootNotchView::areaTacca() const
{
    using namespace FormaTacca;
    return rettangoloTacca()
        .adjusted(-kMargineOmbra, -kMargineOmbra, kMargineOmbra, kMargineOmbra + kCaduta)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

void RootNotchView::aggiornaTacca()
{
    const QSizeF d = dimensioneTacca();
    const double apertura = stato_.currentState() == NotchState::expanded ? 1 : 0;
    const MetaForma da = std::exchange(metaForma_, metaForma());
    if (d.width() == larghezza_.obiettivo() && d.height() == altezza_.obiettivo() && apertura == apertura_.obiettivo())
        return;
    const CostantiMolla molla = mollaCambio(da, metaForma_);
    // An open notch that changes size, its content all in, carries that
    // content along: what follows its edges moves with them.
    segueForma_ = apertura > 0 && apertura_.ferma() && apertura_.valore() >= 1;
    // Its picture at rest is made while the springs run.
    if (!stato_.haTaccaFisica() || apertura > 0)
        immagini_.prepara(rettangoloObiettivo(), devicePixelRatioF());
    larghezza_.vaiA(d.width(), molla);
    altezza_.vaiA(d.height(), molla);
    apertura_.vaiA(apertura, molla);
    animatore_.avvia();
    // The open panel covers every frame of the shape on its way there.
    QRectF tela = rettangoloObiettivo();
    for (const QRectF& r : percorso(larghezza_, altezza_, apertura_, false))
        tela |= r;
    tela_ = tela.toAlignedRect();
    anticipaForme();
}

RootNotchView::Fotogramma RootNotchView::fotogramma() const
{
    return fotogramma(rettangoloTacca(), opacitaContenuto());
}

RootNotchView::Fotogramma RootNotchView::fotogramma(const QRectF& r, double opacita) const
{
    const double dpr = devicePixelRatioF();
    return {QRect(QPoint(qRound(r.left() * dpr), qRound(r.top() * dpr)),
                  QPoint(qRound(r.right() * dpr), qRound(r.bottom() * dpr))),
            qRound(opacita * 255)};
}

QList<QRectF> RootNotchView::percorso(Molla larghezza, Molla altezza, Molla apertura, bool soloDisegnati) const
{
    // The frames to come, step by step as the animator moves the springs,
    // less, when asked, those it will not draw since they change no pixel.
    QList<QRectF> forme;
    Fotogramma ultimo = fotogramma();
    for (int i = 0; i < 250 && !(larghezza.ferma() && altezza.ferma() && apertura.ferma()); ++i) {
        for (Molla* m : {&larghezza, &altezza, &apertura})
            m->avanza(AnimatoreMolle::kPasso);
        const QRectF r((width() - larghezza.valore()) / 2, 0, larghezza.valore(), altezza.valore());
        const Fotogramma f = fotogramma(r, std::clamp(apertura.valore(), 0.0, 1.0));
        if (f != ultimo || !soloDisegnati)
            forme << r;
        ultimo = f;
    }
    return forme;
}

void RootNotchView::anticipaForme()
{
    const bool chiusa = stato_.currentState() == NotchState::compact;
    Molla larghezza = larghezza_, altezza = altezza_, apertura = apertura_;
    if (chiusa && larghezza.ferma() && altezza.ferma()) {
        const QSizeF aperta = stato_.modalitaGuida() ? NotchStateManager::kDimensioneGuida
                                                     : NotchStateManager::dimensioneScheda(stato_.activeTab());
        const CostantiMolla molla = mollaCambio(MetaForma::chiusa,
                                                stato_.modalitaGuida() ? MetaForma::guida : MetaForma::scheda);
        larghezza.vaiA(aperta.width(), molla);
        altezza.vaiA(aperta.height(), molla);
        apertura.vaiA(1, molla);
    } else if (chiusa && (stato_.haTaccaFisica() || stato_.linguettaAttiva())) {
        immagini_.anticipa({}, devicePixelRatioF()); // closing, it is drawn solid or as the edge tab
        return;
    }
    immagini_.anticipa(percorso(larghezza, altezza, apertura, true), devicePixelRatioF());
}

double RootNotchView::opacitaContenuto() const
{
    return std::clamp(apertura_.valore(), 0.0, 1.0);
}

double RootNotchView::opacitaSegno() const
{
    const bool visibile = !stato_.haTaccaFisica() && !stato_.linguettaAttiva();
    return visibile ? 0.22 * (1 - opacitaContenuto()) : 0;
}

void RootNotchView::completaAnimazioni()
{
    animatore_.completa();
    slot_->completaTransizioni();
    pannelloAperto_->completaAnimazioni();
}

void RootNotchView::disponi()
{
    slot_->posiziona(width() / 2.0, stato_.dimensioneCompatta().height());
    // The open content is laid out once, at the size the notch opens to
    // (closing, it keeps it), and the shape uncovers it; while it fades it
    // shows as a picture of itself. An open notch that changes size carries
    // its content along instead: the panel then lies over every frame of
    // the shape, the content's edges follow the shape's and the tab face
    // cuts its moving modules by the shape itself.
    const bool aperta = stato_.currentState() == NotchState::expanded;
    const bool moto = animatore_.attivo();
    const QRectF forma = rettangoloTacca();
    if (aperta) {
        corniceAperta_ = rettangoloObiettivo();
        pannelloAperto_->setGeometry(moto && segueForma_ ? tela_ : corniceAperta_.toAlignedRect());
    }
    const QPointF origine = pannelloAperto_->pos();
    const QRectF cornice = moto && segueForma_ ? forma : corniceAperta_;
    pannelloAperto_->setForma(moto ? std::optional(forma.translated(-origine)) : std::nullopt,
                              moto ? std::optional(cornice.translated(-origine)) : std::nullopt);
    pannelloAperto_->disponiModulo();
    const double opacita = opacitaContenuto();
    const bool presente = aperta || opacita > 0.01;
    pannelloAperto_->setAttribute(Qt::WA_TransparentForMouseEvents, !aperta);
    const bool fermo = !moto && opacita >= 0.99 && forma.toAlignedRect() == pannelloAperto_->geometry();
    auto* strato = qobject_cast<EffettoStrato*>(pannelloAperto_->graphicsEffect());
    if (presente && !fermo && !(moto && segueForma_)) {
        if (!strato) {
            strato = new EffettoStrato(pannelloAperto_);
            pannelloAperto_->setGraphicsEffect(strato);
        }
        strato->setOpacita(opacita);
        strato->setRitaglio(formaDisegnata().translated(-origine));
    } else if (strato) {
        pannelloAperto_->setGraphicsEffect(nullptr);
    }
    pannelloAperto_->setVisible(presente);
    if (QRegion r = regioneMateriale(); r != regioneMateriale_) {
        regioneMateriale_ = r;
        emit regioneMaterialeCambiata(r);
    }
}

QRegion RootNotchView::regioneMateriale() const
{
    const bool chiusa = stato_.currentState() == NotchState::compact;
    if (chiusa && stato_.haTaccaFisica())
        return {}; // solid black over a physical notch
    auto regione = [](const QPainterPath& forma) { return QRegion(forma.toFillPolygon().toPolygon(), Qt::WindingFill); };
    QRegion r = regione(formaDisegnata());
    const QRectF carta = slot_->isHidden() ? QRectF() : slot_->rettangoloCarta();
    if (!carta.isEmpty())
        r += regione(Disegno::rettangoloContinuo(carta, AspettoScheda::kRaggio));
    return r;
}

void RootNotchView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF tacca = rettangoloTacca();
    const bool chiusa = stato_.currentState() == NotchState::compact;
    const bool pieno = chiusa && stato_.haTaccaFisica();
    const double altezza = chiusa && stato_.linguettaAttiva() ? GeometriaPannello::kAltezzaLinguetta : tacca.height();
    // The pieces the moving shape is made of serve every tab, the guide and
    // the springs' overshoot.
    QSizeF massima = NotchStateManager::kDimensioneGuida.expandedTo(NotchStateManager::kDimensioneImpostazioni);
    for (NotchTab t : BarraSchede::ordine())
        massima = massima.expandedTo(NotchStateManager::dimensioneScheda(t));
    immagini_.preparaRiferimento(massima * 1.1, devicePixelRatioF());
    immagini_.disegna(p, tacca, altezza, pieno, animatore_.attivo());
    FormaTacca::disegnaSegno(p, tacca, opacitaSegno());
}
