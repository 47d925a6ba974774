#include "AttivitaCardView.h"

#include "Colori.h"
#include "Disegno.h"
#include "Simboli.h"

#include <QLinearGradient>
#include <QPainter>

AttivitaCardView::AttivitaCardView(AttivitaNotch attivita, QWidget* parent)
    : QWidget(parent), attivita_(std::move(attivita))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(QSizeF(kDimensione.width() + 2 * kMargineOmbra, kDimensione.height() + 2 * kMargineOmbra).toSize());
}

QRectF AttivitaCardView::rettangoloScheda() const
{
    return QRectF(QPointF(kMargineOmbra, kMargineOmbra), kDimensione);
}

void AttivitaCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF scheda = rettangoloScheda();
    const QPainterPath forma = Disegno::rettangoloContinuo(scheda, 16);

    QColor ombraTinta = attivita_.tinta.value_or(QColor(Qt::black));
    ombraTinta.setAlphaF(0.28f);
    Disegno::ombra(p, forma, ombraTinta, 18, {0, 8});
    Disegno::ombra(p, forma, QColor(0, 0, 0, 26), 3, {0, 1});

    p.fillPath(forma, Disegno::materiale());
    if (attivita_.tinta) {
        QLinearGradient g(scheda.topLeft(), scheda.bottomRight());
        QColor a = *attivita_.tinta, b = *attivita_.tinta;
        a.setAlphaF(0.75f);
        b.setAlphaF(0.25f);
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        p.fillPath(forma, g);
    }
    p.setPen(QPen(Disegno::primario(0.16), 0.5));
    p.drawPath(forma);

    // Icon, 30 by 30, 10 from the leading edge.
    const QRectF icona(scheda.left() + 10, scheda.center().y() - 15, 30, 30);
    const QPainterPath formaIcona = Disegno::rettangoloContinuo(icona, 7);
    if (attivita_.anteprima && !attivita_.anteprima->isNull()) {
        p.save();
        p.setClipPath(formaIcona);
        p.drawImage(icona, *attivita_.anteprima);
        p.restore();
        p.setPen(QPen(Disegno::primario(0.12), 0.5));
        p.drawPath(formaIcona);
    } else {
        p.fillPath(formaIcona, Disegno::primario(0.08));
        const int lato = 16;
        const QPixmap simbolo = Simboli::pixmap(attivita_.simbolo, lato, attivita_.tinta.value_or(Colori::accento()),
                                                devicePixelRatioF());
        p.drawPixmap(QPointF(icona.center().x() - lato / 2.0, icona.center().y() - lato / 2.0), simbolo);
    }

    // Title and the optional detail, one line each.
    const double x = icona.right() + 8;
    const double larghezza = scheda.right() - 10 - x;
    QFont titolo = font();
    titolo.setPixelSize(11);
    titolo.setWeight(QFont::DemiBold);
    // The frame is fixed: a title a little too wide for it is narrowed
    // before it is cut short ("Screenshot catturato" in a wide desktop font).
    for (int stretta : {int(QFont::SemiCondensed), int(QFont::Condensed)})
        if (QFontMetricsF(titolo).horizontalAdvance(attivita_.titolo) > larghezza)
            titolo.setStretch(stretta);
    QFont dettaglio = font();
    dettaglio.setPixelSize(9);
    dettaglio.setWeight(QFont::Medium);
    const QFontMetricsF mt(titolo), md(dettaglio);
    const bool conDettaglio = attivita_.dettaglio.has_value();
    const double altezza = mt.height() + (conDettaglio ? 1 + md.height() : 0);
    double y = scheda.center().y() - altezza / 2;
    p.setFont(titolo);
    p.setPen(Disegno::primario());
    p.drawText(QRectF(x, y, larghezza, mt.height()), Qt::AlignLeft | Qt::AlignVCenter,
               mt.elidedText(attivita_.titolo, Qt::ElideRight, larghezza));
    if (conDettaglio) {
        y += mt.height() + 1;
        p.setFont(dettaglio);
        p.setPen(Disegno::secondario());
        p.drawText(QRectF(x, y, larghezza, md.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   md.elidedText(*attivita_.dettaglio, Qt::ElideRight, larghezza));
    }
}
