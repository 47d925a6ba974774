#include "AvvisoAperto.h"

#include "Colori.h"
#include "Disegno.h"
#include "Simboli.h"

#include <QPainter>

namespace {
constexpr int kMargine = 8;
constexpr int kLatoSimbolo = 13;
constexpr int kSpazio = 6;
} // namespace

AvvisoAperto::AvvisoAperto(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QFont AvvisoAperto::fontTitolo() const
{
    QFont f = font();
    f.setPixelSize(11);
    f.setWeight(QFont::DemiBold);
    return f;
}

QFont AvvisoAperto::fontDettaglio() const
{
    QFont f = font();
    f.setPixelSize(11);
    return f;
}

void AvvisoAperto::imposta(const std::optional<AttivitaNotch>& attivita)
{
    attivita_ = attivita;
    setVisible(attivita_.has_value());
    setAccessibleName(attivita_ ? attivita_->titolo + (attivita_->dettaglio ? QStringLiteral(": ") + *attivita_->dettaglio
                                                                            : QString())
                                : QString());
    update();
}

int AvvisoAperto::larghezzaPer(int massima) const
{
    if (!attivita_)
        return 0;
    double w = kMargine + kLatoSimbolo + kSpazio + QFontMetricsF(fontTitolo()).horizontalAdvance(attivita_->titolo)
               + kMargine;
    if (attivita_->dettaglio)
        w += kSpazio + QFontMetricsF(fontDettaglio()).horizontalAdvance(*attivita_->dettaglio);
    return std::min(massima, int(std::ceil(w)));
}

void AvvisoAperto::paintEvent(QPaintEvent*)
{
    if (!attivita_)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor tinta = attivita_->tinta.value_or(Colori::accento());
    QColor fondo = tinta;
    fondo.setAlphaF(0.22f);
    p.setPen(QPen(Disegno::primario(0.16), 0.5));
    p.setBrush(fondo);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);

    const QPixmap simbolo = Simboli::pixmap(attivita_->simbolo, kLatoSimbolo, tinta, devicePixelRatioF());
    p.drawPixmap(QPointF(kMargine, (height() - kLatoSimbolo) / 2.0), simbolo);

    double x = kMargine + kLatoSimbolo + kSpazio;
    const double fine = width() - kMargine;
    const QFontMetricsF mt(fontTitolo());
    p.setFont(fontTitolo());
    p.setPen(Disegno::primario());
    const QString titolo = mt.elidedText(attivita_->titolo, Qt::ElideRight, fine - x);
    p.drawText(QRectF(x, 0, fine - x, height()), Qt::AlignLeft | Qt::AlignVCenter, titolo);
    x += mt.horizontalAdvance(titolo) + kSpazio;
    if (attivita_->dettaglio && x < fine) {
        const QFontMetricsF md(fontDettaglio());
        p.setFont(fontDettaglio());
        p.setPen(Disegno::secondario());
        p.drawText(QRectF(x, 0, fine - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   md.elidedText(*attivita_->dettaglio, Qt::ElideRight, fine - x));
    }
}
