#include "ImpegnoCardView.h"

#include "Colori.h"
#include "Simboli.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace AspettoScheda;

namespace {
constexpr double kBadge = 28;

// Seconds from `ora` to `inizio`.
double secondiAllInizio(const QDateTime& inizio, const QDateTime& ora)
{
    return static_cast<double>(ora.msecsTo(inizio)) / 1000.0;
}
} // namespace

ImpegnoCardView::ImpegnoCardView(Impegno impegno, Clock& clock, QWidget* parent)
    : SchedaChiusa(kDimensione, clock, parent), impegno_(std::move(impegno))
{
}

QString ImpegnoCardView::testoInizio(const QDateTime& inizio, const QDateTime& ora)
{
    const double n = std::ceil(secondiAllInizio(inizio, ora) / 60.0);
    if (!(n >= 1))
        return tr("ora");
    if (n == 1)
        return tr("fra 1 minuto");
    return tr("fra %1 minuti").arg(static_cast<qint64>(n));
}

QString ImpegnoCardView::sottotitolo() const
{
    QString s = testoInizio(impegno_.inizio, clock_.now());
    if (impegno_.luogo)
        s += QStringLiteral(" · ") + *impegno_.luogo;
    return s;
}

void ImpegnoCardView::programmaAggiornamento()
{
    prossimoCambio_.cancel();
    const double secondi = secondiAllInizio(impegno_.inizio, clock_.now());
    const double n = std::ceil(secondi / 60.0);
    if (!(n >= 1))
        return; // "ora" stays
    // The count drops by one when the time left reaches (n - 1) minutes.
    const double attesa = std::max(secondi - (n - 1) * 60.0, 0.05);
    prossimoCambio_ = clock_.singleShot(attesa, [this] {
        update();
        programmaAggiornamento();
    });
}

void ImpegnoCardView::showEvent(QShowEvent*)
{
    update();
    programmaAggiornamento();
}

void ImpegnoCardView::hideEvent(QHideEvent*) { prossimoCambio_.cancel(); }

void ImpegnoCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    disegnaSfondoCalmo(p, Colori::indaco(), 0.55, 0.18, 0.28);
}

void ImpegnoCardView::disegnaPrimoPiano(QPainter& p)
{
    const QRectF c = rettangoloScheda();
    const QRectF riga = rigaContenuto();
    const QRectF badge(riga.left(), c.center().y() - kBadge / 2, kBadge, kBadge);
    disco(p, badge, conOpacita(Colori::indaco(), 0.18));
    const int lato = 14;
    const QPixmap simbolo = Simboli::pixmap(QStringLiteral("calendar"), lato, Colori::indaco(), devicePixelRatioF());
    p.drawPixmap(QRectF(badge.center().x() - lato / 2.0, badge.center().y() - lato / 2.0, lato, lato), simbolo,
                 simbolo.rect());

    const QFont titolo = carattere(12, QFont::DemiBold);
    const QFont sotto = carattere(9, QFont::Medium);
    const QFontMetricsF mt(titolo), ms(sotto);
    const double x = badge.right() + kSpaziatura;
    const double larghezza = riga.right() - x;
    const double y = c.center().y() - (mt.height() + 1 + ms.height()) / 2;
    AspettoScheda::riga(p, QRectF(x, y, larghezza, mt.height()), impegno_.titolo, titolo, primario());
    AspettoScheda::riga(p, QRectF(x, y + mt.height() + 1, larghezza, ms.height()), sottotitolo(), sotto, secondario());
}
