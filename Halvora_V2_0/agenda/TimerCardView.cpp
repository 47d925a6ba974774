#include "TimerCardView.h"

#include "Colori.h"
#include "DisegnoInBande.h"
#include "PomodoroManager.h"
#include "StratiPulsanti.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace AspettoScheda;

namespace {
constexpr double kAnello = 28;
constexpr double kTratto = 3;
constexpr double kCampana = 15;
constexpr double kFotogramma = 1.0 / 30;
} // namespace

TimerCardView::TimerCardView(PomodoroManager& manager, Clock& clock, QWidget* parent)
    : SchedaChiusa(kConteggio, clock, parent), manager_(manager), tempo_(*this, clock, kDurataCifre),
      sfondoAllarme_(new VistaFormaPulsante(this, clock)), campana_(new VistaSimboloOscillante(this, clock)),
      ferma_(new PulsanteCapsula(tr("Ferma"), {carattere(11, QFont::Bold), Colori::rosso(), Qt::white, 10, 5}, this))
{
    sfondoAllarme_->configura({Colori::rosso(), FormaPulsante::Forma::rettangolo(kRaggio), {0.75, 0.95}, 6,
                               FormaPulsante::Ombra{0.6f, 20, 8}});
    campana_->configura({QStringLiteral("bell.fill"), kCampana, QFont::DemiBold, Qt::white, 12, 12});
    alzaPrimoPiano();
    ferma_->raise();
    connect(ferma_, &QAbstractButton::clicked, &manager_, &PomodoroManager::fermaAllarme);
    connect(&manager_, &PomodoroManager::cambiato, this, &TimerCardView::aggiorna);
    aggiorna();
}

double TimerCardView::progresso(int timeRemaining, int totalTime)
{
    if (totalTime <= 0)
        return 0;
    const double p = std::min(static_cast<double>(timeRemaining) / static_cast<double>(totalTime), 1.0);
    return p > 0 ? p : 0; // NaN counts as 0
}

double TimerCardView::progressoMostrato() const
{
    if (!arco_.isActive())
        return a_;
    const double t = std::clamp((clock_.monotonic() - inizioArco_) / kDurataArco, 0.0, 1.0);
    return da_ + (a_ - da_) * t;
}

void TimerCardView::aggiorna()
{
    const bool allarme = manager_.allarmeAttivo();
    if (allarme != allarme_ || secondi_ < 0) {
        allarme_ = allarme;
        setDimensioneScheda(allarme ? kAllarme : kConteggio);
        sfondoAllarme_->setVisible(allarme);
        campana_->setVisible(allarme);
        ferma_->setVisible(allarme);
        disponi();
    }
    const double obiettivo = progresso(manager_.timeRemaining(), manager_.totalTime());
    if (manager_.timeRemaining() != secondi_ && secondi_ >= 0 && isVisible()) {
        // Each tick shortens the ring continuously rather than in a jump.
        da_ = progressoMostrato();
        inizioArco_ = clock_.monotonic();
        if (!arco_.isActive())
            arco_ = clock_.repeating(kFotogramma, [this] {
                if (clock_.monotonic() - inizioArco_ >= kDurataArco)
                    arco_.cancel();
                update();
            });
    }
    a_ = obiettivo;
    tempo_.imposta(manager_.formattedTime());
    secondi_ = manager_.timeRemaining();
    update();
}

void TimerCardView::hideEvent(QHideEvent*)
{
    // Nothing glides or rolls while the card cannot be seen.
    arco_.cancel();
    tempo_.ferma();
}

void TimerCardView::disponi()
{
    const QRectF c = rettangoloScheda();
    const QRectF riga = rigaContenuto();
    sfondoAllarme_->setGeometry(c.toAlignedRect());
    // A little more than the symbol, so its corners stay inside while it rocks.
    const int lato = static_cast<int>(std::ceil(kCampana * 1.42));
    campana_->setGeometry(static_cast<int>(std::lround(riga.left() + kCampana / 2 - lato / 2.0)),
                          static_cast<int>(std::lround(c.center().y() - lato / 2.0)), lato, lato);
    const QSize s = ferma_->sizeHint();
    ferma_->setGeometry(static_cast<int>(std::lround(riga.right() - s.width())),
                        static_cast<int>(std::lround(c.center().y() - s.height() / 2.0)), s.width(), s.height());
}

void TimerCardView::paintEvent(QPaintEvent*)
{
    if (allarme_)
        return; // the pulsing shape is the background
    QPainter p(this);
    disegnaSfondoCalmo(p, Colori::arancione(), 0.6, 0.18, 0.3);
}

void TimerCardView::disegnaPrimoPiano(QPainter& p)
{
    const QRectF c = rettangoloScheda();
    const QRectF riga = rigaContenuto();
    const QFont stato = didascalia();
    const QFontMetricsF ms(stato);
    if (allarme_) {
        disegnaBordo(p, primario(0.35));
        const QFont titolo = carattere(12, QFont::Bold);
        const QFontMetricsF mt(titolo);
        const double x = riga.left() + kCampana + kSpaziatura;
        const double larghezza = ferma_->x() - 4 - x;
        const double y = c.center().y() - (mt.height() + 1 + ms.height()) / 2;
        AspettoScheda::riga(p, QRectF(x, y, larghezza, mt.height()), tr("Tempo scaduto"), titolo, Qt::white);
        AspettoScheda::riga(p, QRectF(x, y + mt.height() + 1, larghezza, ms.height()), manager_.statusText(), stato,
                            primario(0.75));
        return;
    }
    // The ring: a faint track and the time left from twelve o'clock, clockwise.
    const QRectF anello(riga.left(), c.center().y() - kAnello / 2, kAnello, kAnello);
    const double frazione = progressoMostrato();
    // Drawn again with each frame of its glide: in bands, so that no frame wakes Qt's pooled threads.
    disegnaInBande(p, anello.adjusted(-kTratto, -kTratto, kTratto, kTratto), 8, [&] {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(primario(0.14), kTratto, Qt::SolidLine, Qt::FlatCap));
        p.drawEllipse(anello);
        if (frazione > 0) {
            p.setPen(QPen(Colori::arancione(), kTratto, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(anello, 90 * 16, -static_cast<int>(std::lround(frazione * 360 * 16)));
        }
    });
    const QFont tempo = carattere(14, QFont::DemiBold, true);
    const QFontMetricsF mt(tempo);
    const double x = anello.right() + kSpaziatura;
    const double larghezza = riga.right() - x;
    const double y = c.center().y() - (mt.height() + 1 + ms.height()) / 2;
    tempo_.disegna(p, QRectF(x, y, larghezza, mt.height()), tempo, primario());
    AspettoScheda::riga(p, QRectF(x, y + mt.height() + 1, larghezza, ms.height()), manager_.statusText(), stato,
                        secondario());
}
