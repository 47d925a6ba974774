#include "AggiornamentoCardView.h"

#include "Colori.h"
#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

using namespace AspettoScheda;

namespace {

constexpr double kLatoIcona = 26;
constexpr double kLatoChiudi = 22;
constexpr double kLatoAttesa = 16;

// The platform's small indeterminate spinner: twelve spokes, the brightest
// turning once a second, on frames of the clock while it is shown.
class Attesa final : public QWidget {
public:
    Attesa(Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock)
    {
        setFixedSize(int(kLatoAttesa), int(kLatoAttesa));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void showEvent(QShowEvent*) override
    {
        fotogrammi_ = clock_.repeating(1.0 / 12, [this] { update(); });
    }
    void hideEvent(QHideEvent*) override { fotogrammi_.cancel(); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(width() / 2.0, height() / 2.0);
        const int primo = int(std::floor(std::fmod(clock_.monotonic(), 1.0) * 12));
        for (int i = 0; i < 12; ++i) {
            const int distanza = (primo - i + 12) % 12;
            p.setPen(QPen(primario(1.0 - distanza * 0.07), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.save();
            p.rotate(i * 30.0);
            p.drawLine(QPointF(0, -kLatoAttesa / 2 + 1.5), QPointF(0, -kLatoAttesa / 4));
            p.restore();
        }
    }

private:
    Clock& clock_;
    TimerHandle fotogrammi_;
};

QPainterPath forma(const QRectF& r)
{
    QPainterPath p;
    p.addRoundedRect(r, kRaggio, kRaggio);
    return p;
}

// One line in `dove`: shrunk down to `scalaMinima` of its size before the
// tail is cut.
void rigaRidotta(QPainter& p, const QRectF& dove, const QString& testo, QFont f, const QColor& colore,
                 double scalaMinima)
{
    const double base = f.pixelSize();
    const double larghezza = QFontMetricsF(f).horizontalAdvance(testo);
    if (larghezza > dove.width() && larghezza > 0)
        f.setPixelSize(std::max(1, int(std::floor(base * std::max(scalaMinima, dove.width() / larghezza)))));
    riga(p, dove, testo, f, colore);
}

void chiama(const std::function<void()>& f)
{
    if (f)
        f();
}

} // namespace

AggiornamentoCardView::AggiornamentoCardView(Campi campi, Azioni azioni, Clock& clock, QWidget* parent)
    : SchedaChiusa(kDimensione, clock, parent), campi_(std::move(campi))
{
    const QRectF c = rettangoloScheda();
    double destra = c.right() - kPadding;
    auto capsula = [&](const QString& testo, const QString& suggerimento, std::function<void()> azione) {
        const QFont f = carattere(10, QFont::Bold);
        // At least 44 wide, the label centred.
        const double pad = std::max(8.0, (44 - QFontMetricsF(f).horizontalAdvance(testo)) / 2);
        auto* b = new PulsanteCapsula(testo, {f, accento(), Qt::white, pad, 4}, this);
        b->setToolTip(suggerimento);
        b->setCursor(Qt::PointingHandCursor);
        connect(b, &QAbstractButton::clicked, this, [azione = std::move(azione)] { chiama(azione); });
        b->move(QPointF(destra - b->width(), c.center().y() - b->height() / 2.0).toPoint());
        destra -= b->width() + kSpaziatura;
        pulsante_ = b;
    };

    if (campi_.installata) {
        capsula(tr("Apri"), tr("Chiude questa versione e apre quella nuova"), std::move(azioni.onApri));
    } else if (campi_.passo) {
        attesa_ = new Attesa(clock, this);
        attesa_->move(QPointF(destra - kLatoAttesa, c.center().y() - kLatoAttesa / 2).toPoint());
    } else {
        if (campi_.puoAggiornare && !campi_.errore)
            capsula(tr("Aggiorna"), tr("Scarica e installa la versione nuova, poi riavvia"), std::move(azioni.onAggiorna));
        else
            capsula(tr("Scarica"), tr("Apri la pagina di download nel browser"), std::move(azioni.onScarica));
        // The close disc comes first in the row: it sits left of the capsule.
        auto* x = new PulsanteTondo(QStringLiteral("xmark"), kLatoChiudi, 9, Qt::white, primario(0.22), this);
        x->setToolTip(tr("Non ora: te lo richiedo alla prossima versione"));
        x->setCursor(Qt::PointingHandCursor);
        x->move(QPointF(destra - kLatoChiudi, c.center().y() - kLatoChiudi / 2).toPoint());
        connect(x, &QAbstractButton::clicked, this, [azione = std::move(azioni.onRimanda)] { chiama(azione); });
        chiudi_ = x;
    }
}

QColor AggiornamentoCardView::accento() const { return campi_.installata ? Colori::verde() : Colori::blu(); }

QString AggiornamentoCardView::titolo() const
{
    if (campi_.installata)
        return tr("Versione %1 installata").arg(campi_.versione);
    if (campi_.errore)
        return tr("Aggiornamento non riuscito");
    return tr("Versione %1 disponibile").arg(campi_.versione);
}

QString AggiornamentoCardView::sottotitolo() const
{
    if (campi_.errore)
        return *campi_.errore;
    if (campi_.installata)
        return tr("RIAPRI PER USARLA");
    if (campi_.passo)
        return *campi_.passo;
    return tr("AGGIORNAMENTO GRATUITO");
}

bool AggiornamentoCardView::sottotitoloFisso() const
{
    return !campi_.errore && (campi_.installata || !campi_.passo);
}

void AggiornamentoCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath f = forma(rettangoloScheda());
    if (ombra_.size() != size())
        ombra_ = ombraSfocata(f.translated(0, 8), size(), 20, conOpacita(accento(), 0.35));
    p.drawImage(0, 0, ombra_);
    p.fillPath(f, conOpacita(accento(), 0.88));
    p.setPen(QPen(primario(0.3), 0.5));
    p.drawPath(f);
}

void AggiornamentoCardView::disegnaPrimoPiano(QPainter& p)
{
    const QRectF c = rettangoloScheda();
    const QRectF icona(c.left() + kPadding, c.center().y() - kLatoIcona / 2, kLatoIcona, kLatoIcona);
    p.setPen(Qt::NoPen);
    p.setBrush(primario(0.2));
    p.drawEllipse(icona);
    const int lato = 14;
    const QPixmap s = Simboli::pixmap(campi_.installata ? QStringLiteral("checkmark.circle.fill")
                                                        : QStringLiteral("arrow.down.circle.fill"),
                                      lato, Qt::white, devicePixelRatioF());
    p.drawPixmap(QRectF(icona.center().x() - lato / 2.0, icona.center().y() - lato / 2.0, lato, lato), s,
                 QRectF(s.rect()));

    // The texts take what the trailing controls leave.
    double fine = c.right() - kPadding;
    for (QWidget* w : {static_cast<QWidget*>(pulsante_), static_cast<QWidget*>(chiudi_), attesa_})
        if (w)
            fine = std::min(fine, double(w->x()));
    const double x = icona.right() + kSpaziatura;
    const double larghezza = std::max(0.0, fine - kSpaziatura - x);
    const QFont ft = carattere(12, QFont::DemiBold);
    QFont fs = carattere(8, QFont::DemiBold);
    fs.setLetterSpacing(QFont::AbsoluteSpacing, sottotitoloFisso() ? 0.8 : 0);
    const double ht = QFontMetricsF(ft).height(), hs = QFontMetricsF(fs).height();
    const double y = c.center().y() - (ht + 1 + hs) / 2;
    rigaRidotta(p, QRectF(x, y, larghezza, ht), titolo(), ft, Qt::white, 0.9);
    rigaRidotta(p, QRectF(x, y + ht + 1, larghezza, hs), sottotitolo(), fs, primario(0.75), 0.8);
}
