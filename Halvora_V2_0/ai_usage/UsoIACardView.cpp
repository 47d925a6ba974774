#include "UsoIACardView.h"

#include "Colori.h"
#include "LogoClaude.h"
#include "Simboli.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace ColoriUsoIA {

QColor primario(double opacita)
{
    QColor c(Qt::white);
    c.setAlphaF(static_cast<float>(opacita));
    return c;
}

QColor secondario()
{
    return primario(0.55);
}

QColor arco(FasciaUso f)
{
    switch (f) {
    case FasciaUso::alta:
        return Colori::rosso();
    case FasciaUso::avviso:
        return Colori::arancione();
    case FasciaUso::normale:
        break;
    }
    return primario(0.7);
}

QColor percentuale(FasciaUso f)
{
    return f == FasciaUso::normale ? primario() : arco(f);
}

QColor accento(FasciaUso f, FornitoreIA fornitore)
{
    if (f != FasciaUso::normale)
        return arco(f);
    return fornitore == FornitoreIA::claude ? coloreClaude() : Colori::grigio();
}

} // namespace ColoriUsoIA

namespace {

QColor conOpacita(QColor c, double a)
{
    c.setAlphaF(static_cast<float>(c.alphaF() * a));
    return c;
}

QFont carattere(double pixel, QFont::Weight peso)
{
    QFont f;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixel))));
    f.setWeight(peso);
    return f;
}

// Three box passes approximate a Gaussian blur of the given radius.
void sfoca(QImage& img, int raggio)
{
    const int r = std::max(1, raggio / 2);
    const int w = img.width(), h = img.height();
    std::vector<int> riga(static_cast<size_t>(std::max(w, h)) * 4);
    auto passata = [&](bool orizzontale) {
        const int n = orizzontale ? w : h, linee = orizzontale ? h : w;
        for (int l = 0; l < linee; ++l) {
            auto px = [&](int k) -> QRgb& {
                return orizzontale ? reinterpret_cast<QRgb*>(img.scanLine(l))[k]
                                   : reinterpret_cast<QRgb*>(img.scanLine(k))[l];
            };
            for (int k = 0; k < n; ++k) {
                const QRgb c = px(k);
                riga[k * 4] = qRed(c), riga[k * 4 + 1] = qGreen(c), riga[k * 4 + 2] = qBlue(c),
                riga[k * 4 + 3] = qAlpha(c);
            }
            int somma[4] = {0, 0, 0, 0};
            for (int k = -r; k <= r; ++k)
                if (k >= 0 && k < n)
                    for (int c = 0; c < 4; ++c)
                        somma[c] += riga[k * 4 + c];
            const int d = 2 * r + 1;
            for (int k = 0; k < n; ++k) {
                px(k) = qRgba(somma[0] / d, somma[1] / d, somma[2] / d, somma[3] / d);
                const int esce = k - r, entra = k + r + 1;
                for (int c = 0; c < 4; ++c) {
                    if (esce >= 0)
                        somma[c] -= riga[esce * 4 + c];
                    if (entra < n)
                        somma[c] += riga[entra * 4 + c];
                }
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        passata(true);
        passata(false);
    }
}

} // namespace

// --- AnelloUsoIA ---

AnelloUsoIA::AnelloUsoIA(const LimiteIA& limite, double diametro, double spessore, QWidget* parent)
    : QWidget(parent), limite_(limite), spessore_(spessore)
{
    const int lato = static_cast<int>(std::ceil(diametro));
    setFixedSize(lato, lato);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AnelloUsoIA::disegna(QPainter& p, const QRectF& quadrato, const LimiteIA& limite, double spessore)
{
    const QRectF cerchio = quadrato.adjusted(spessore / 2, spessore / 2, -spessore / 2, -spessore / 2);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ColoriUsoIA::primario(0.15), spessore, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(cerchio);
    const double frazione = std::clamp(static_cast<double>(limite.percentuale) / 100.0, 0.0, 1.0);
    if (frazione > 0) {
        p.setPen(QPen(ColoriUsoIA::arco(fasciaUso(limite)), spessore, Qt::SolidLine, Qt::RoundCap));
        if (frazione >= 1.0)
            p.drawEllipse(cerchio);
        else // from 12 o'clock, clockwise (negative spans turn clockwise)
            p.drawArc(cerchio, 90 * 16, -static_cast<int>(std::lround(frazione * 360 * 16)));
    }
    p.restore();
}

void AnelloUsoIA::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    disegna(p, rect(), limite_, spessore_);
}

// --- SimboloFornitore ---

SimboloFornitore::SimboloFornitore(FornitoreIA fornitore, double lato, QWidget* parent)
    : QWidget(parent), fornitore_(fornitore)
{
    const int l = static_cast<int>(std::ceil(lato));
    setFixedSize(l, l);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SimboloFornitore::disegna(QPainter& p, const QRectF& q, FornitoreIA fornitore)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double lato = std::min(q.width(), q.height());
    if (fornitore == FornitoreIA::claude) {
        QPainterPath logo = LogoClaude::percorso(q);
        logo.setFillRule(Qt::WindingFill);
        p.fillPath(logo, coloreClaude());
        p.restore();
        return;
    }
    if (const std::optional<QImage> icona = iconaFornitore(fornitore)) {
        // The icon's own margin is transparent: a quarter larger fills the mark.
        const double l = lato * 1.25;
        p.drawImage(QRectF(q.center().x() - l / 2, q.center().y() - l / 2, l, l), *icona);
    } else {
        const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
        const int l = std::max(1, static_cast<int>(std::lround(lato * 0.72)));
        const QPixmap bolla = Simboli::pixmap(QStringLiteral("bubble.left.fill"), l, ColoriUsoIA::primario(0.8), dpr);
        p.drawPixmap(QRectF(q.center().x() - l / 2.0, q.center().y() - l / 2.0, l, l), bolla, bolla.rect());
    }
    p.restore();
}

void SimboloFornitore::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    disegna(p, rect(), fornitore_);
}

// --- UsoIACardView ---

UsoIACardView::UsoIACardView(const LimiteIA& limite, bool settimanale, FornitoreIA fornitore, Clock& clock,
                             QWidget* parent)
    : QWidget(parent), limite_(limite), settimanale_(settimanale), fornitore_(fornitore), clock_(clock)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kScheda.width() + kMargini.left() + kMargini.right(),
                 kScheda.height() + kMargini.top() + kMargini.bottom());
    aggiornaRiga();
    // The reset line moves on once a minute, counted from the card's making.
    ticchettio_ = clock_.repeating(60.0, [this] {
        aggiornaRiga();
        update();
    });
}

QRect UsoIACardView::rettangoloScheda() const
{
    return QRect(QPoint(kMargini.left(), kMargini.top()), kScheda);
}

QString UsoIACardView::titolo() const
{
    return settimanale_ ? QCoreApplication::translate("Halvora", "%1 · settimana").arg(nomeFornitore(fornitore_))
                        : QCoreApplication::translate("Halvora", "%1 · sessione").arg(nomeFornitore(fornitore_));
}

void UsoIACardView::aggiornaRiga()
{
    rigaAzzeramento_ = testoAzzeramento(limite_, clock_.now()).value_or(QString());
}

QImage UsoIACardView::ombra(qreal dpr) const
{
    if (!ombra_.isNull() && qFuzzyCompare(ombra_.devicePixelRatio(), dpr))
        return ombra_;
    const QColor accento = ColoriUsoIA::accento(fasciaUso(limite_), fornitore_);
    QImage img((size() * dpr), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    auto strato = [&](const QColor& colore, double raggio, double giu) {
        QImage s(img.size(), QImage::Format_ARGB32_Premultiplied);
        s.setDevicePixelRatio(dpr);
        s.fill(Qt::transparent);
        {
            QPainter p(&s);
            p.setRenderHint(QPainter::Antialiasing);
            QPainterPath forma;
            forma.addRoundedRect(QRectF(rettangoloScheda()).translated(0, giu), 16, 16);
            p.fillPath(forma, colore);
        }
        sfoca(s, static_cast<int>(std::lround(raggio * dpr)));
        return s;
    };
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.drawImage(QPointF(), strato(conOpacita(accento, 0.22), 18, 8));
    p.drawImage(QPointF(), strato(QColor(0, 0, 0, 26), 3, 1));
    p.end();
    ombra_ = img;
    return ombra_;
}

void UsoIACardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const FasciaUso fascia = fasciaUso(limite_);
    const QColor accento = ColoriUsoIA::accento(fascia, fornitore_);
    const QRectF scheda = rettangoloScheda();

    p.drawImage(QPointF(), ombra(devicePixelRatioF()));
    QPainterPath forma;
    forma.addRoundedRect(scheda, 16, 16);
    // A dark translucent fill stands for the frosted material.
    p.fillPath(forma, QColor(28, 28, 30, 200));
    QLinearGradient sfumatura(scheda.topLeft(), scheda.bottomRight());
    sfumatura.setColorAt(0, conOpacita(accento, 0.4));
    sfumatura.setColorAt(1, conOpacita(accento, 0.12));
    p.fillPath(forma, sfumatura);
    p.setPen(QPen(QColor(255, 255, 255, 41), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(forma);

    const QRectF contenuto = scheda.adjusted(12, 0, -12, 0);
    const QRectF anello(contenuto.left(), scheda.center().y() - 14, 28, 28);
    AnelloUsoIA::disegna(p, anello, limite_, 3);
    SimboloFornitore::disegna(p, QRectF(anello.center() - QPointF(7, 7), QSizeF(14, 14)), fornitore_);

    const QString percento = QString::number(limite_.percentuale) + QLatin1Char('%');
    const QFont fontPercento = carattere(15, QFont::Bold);
    const double larghezzaPercento = QFontMetricsF(fontPercento).horizontalAdvance(percento);
    const QRectF zonaPercento(contenuto.right() - larghezzaPercento, scheda.top(), larghezzaPercento, scheda.height());
    p.setFont(fontPercento);
    p.setPen(ColoriUsoIA::percentuale(fascia));
    p.drawText(zonaPercento, Qt::AlignVCenter | Qt::AlignRight, percento);

    const double sinistra = anello.right() + 10;
    const double larghezza = zonaPercento.left() - 10 - sinistra;
    QFont fontTitolo = carattere(12, QFont::DemiBold);
    QString testoTitolo = titolo();
    // One line: shrink to 0.85 first, then cut.
    if (QFontMetricsF(fontTitolo).horizontalAdvance(testoTitolo) > larghezza) {
        fontTitolo = carattere(12 * 0.85, QFont::DemiBold);
        testoTitolo = QFontMetricsF(fontTitolo).elidedText(testoTitolo, Qt::ElideRight, larghezza);
    }
    const QFont fontRiga = carattere(9, QFont::Medium);
    const QFontMetricsF mt(fontTitolo), mr(fontRiga);
    const double altezza = mt.height() + (rigaAzzeramento_.isEmpty() ? 0 : 1 + mr.height());
    double y = scheda.center().y() - altezza / 2;
    p.setFont(fontTitolo);
    p.setPen(ColoriUsoIA::primario());
    p.drawText(QRectF(sinistra, y, larghezza, mt.height()), Qt::AlignLeft | Qt::AlignVCenter, testoTitolo);
    if (!rigaAzzeramento_.isEmpty()) {
        y += mt.height() + 1;
        p.setFont(fontRiga);
        p.setPen(ColoriUsoIA::secondario());
        p.drawText(QRectF(sinistra, y, larghezza, mr.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   mr.elidedText(rigaAzzeramento_, Qt::ElideRight, larghezza));
    }
}
