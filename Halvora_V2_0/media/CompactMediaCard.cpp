#include "CompactMediaCard.h"

#include "Colori.h"
#include "DisegnoMedia.h"
#include "MediaManager.h"
#include "DisegnoInBande.h"
#include "SchedaChiusa.h"
#include "StratiPulsanti.h"
#include "VistaFiloAvanzamento.h"
#include "VistaOndeSonore.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

using namespace DisegnoMedia;

namespace {
constexpr double kAltezzaFilo = 2.5;
constexpr double kDurataFilo = 1.5;
} // namespace

CompactMediaCard::CompactMediaCard(QWidget* parent, Clock& clock)
    : QWidget(parent), clock_(clock), onde_(new VistaOndeSonore(this, clock)), filo_(new VistaFiloAvanzamento(this, clock)),
      tinta_(clock, [this] {
          aggiornaFilo();
          update();
      })
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(sizeHint());
    aggiornaFilo();
}

CompactMediaCard::CompactMediaCard(MediaManager& manager, bool ondeAnimate, QWidget* parent, Clock& clock)
    : CompactMediaCard(parent, clock)
{
    setOndeAnimate(ondeAnimate);
    setStato(StatoMedia::da(manager));
    connect(&manager, &MediaManager::cambiato, this, [this, &manager] { setStato(StatoMedia::da(manager)); });
}

QSize CompactMediaCard::sizeHint() const { return kCard.grownBy(margini()); }

QRectF CompactMediaCard::rettangoloCard() const
{
    const QMargins m = margini();
    return QRectF(m.left(), m.top(), kCard.width(), kCard.height());
}

void CompactMediaCard::setOndeAnimate(bool animate) { onde_->setAnimate(animate); }

void CompactMediaCard::setStato(const StatoMedia& stato)
{
    // Each poll brings a new position, which only the line shows.
    const bool carta = stato.trackTitle != stato_.trackTitle || stato.albumArt.cacheKey() != stato_.albumArt.cacheKey()
                       || stato.albumTint != stato_.albumTint || (stato.totalDuration > 0) != (stato_.totalDuration > 0);
    stato_ = stato;
    tinta_.imposta(stato_.albumTint);
    aggiornaFilo();
    if (carta)
        update();
}

double CompactMediaCard::frazione(double tempo, double durata)
{
    if (!(durata > 0))
        return 0;
    const double f = tempo / durata;
    if (!(f > 0))
        return 0;
    return std::min(f, 1.0);
}

QColor CompactMediaCard::coloreFilo(const std::optional<QColor>& tinta)
{
    return mescola(tinta.value_or(Colori::accento()), Qt::white, 0.18);
}

void CompactMediaCard::resizeEvent(QResizeEvent*)
{
    const QRectF c = rettangoloCard();
    onde_->move(int(std::lround(c.right() - 10 - 18)), int(std::lround(c.center().y() - 7)));
    const QRect filo(int(c.left()), int(std::floor(c.bottom() - kAltezzaFilo)), kCard.width(), 3);
    filo_->setGeometry(filo);
    // Its ends follow the card's rounded bottom corners.
    filo_->setForma(AspettoScheda::formaScheda(c).translated(-filo.topLeft()));
}

void CompactMediaCard::aggiornaFilo()
{
    filo_->setVisible(stato_.totalDuration > 0);
    filo_->aggiorna(frazione(stato_.currentTime, stato_.totalDuration), kCard.width(), kAltezzaFilo,
                    coloreFilo(tinta_.attuale()), kDurataFilo);
}

void CompactMediaCard::paintEvent(QPaintEvent*)
{
    // The card is drawn into a kept picture, again only when what it shows
    // changes: the waves and the line over it repaint many times a second.
    const qreal dpr = devicePixelRatioF();
    const auto tinta = tinta_.attuale();
    const QString chiave = QStringLiteral("%1|%2|%3|%4|%5x%6@%7|%8")
                               .arg(stato_.trackTitle)
                               .arg(stato_.albumArt.cacheKey())
                               .arg(tinta ? tinta->name(QColor::HexArgb) : QString())
                               .arg(stato_.totalDuration > 0)
                               .arg(width())
                               .arg(height())
                               .arg(dpr)
                               .arg(palette().color(QPalette::WindowText).name(QColor::HexArgb));
    if (chiave != chiaveImmagine_) {
        chiaveImmagine_ = chiave;
        immagine_ = immagineTrasparente(size(), dpr);
        {
            QPainter q(&immagine_);
            disegnaCarta(q);
        }
        // The waves paint the card beneath them themselves, over whatever
        // the card lies on: the card leaves their rectangle empty, or its
        // translucent plate would be laid there twice, or not at all.
        const QRect sotto(onde_->pos() * dpr, onde_->size() * dpr);
        onde_->setSfondo(immagine_.copy(sotto));
        QPainter q(&immagine_);
        q.setCompositionMode(QPainter::CompositionMode_Clear);
        q.fillRect(QRectF(QPointF(sotto.topLeft()) / dpr, QSizeF(sotto.size()) / dpr), Qt::transparent);
    }
    QPainter p(this);
    copiaImmagine(p, QPointF(0, 0), immagine_);
}

void CompactMediaCard::disegnaCarta(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF c = rettangoloCard();
    const QPainterPath forma = AspettoScheda::formaScheda(c);
    const auto tinta = tinta_.attuale();
    const QColor primario = palette().color(QPalette::WindowText);

    // Two shadows: the tint's (black without one) and a close dark one.
    QColor coloreOmbra = tinta ? *tinta : Qt::black;
    coloreOmbra.setAlphaF(tinta ? 0.42f * tinta->alphaF() : 0.18f);
    p.drawImage(0, 0, ombraSfocata(forma.translated(0, 8), size(), 18, coloreOmbra));
    p.drawImage(0, 0, ombraSfocata(forma.translated(0, 1), size(), 3, QColor::fromRgbF(0, 0, 0, 0.1f)));

    p.fillPath(forma, QColor(30, 30, 34, 215)); // ultra-thin material over the dark notch
    if (tinta)
        velaTinta(p, forma, *tinta, 0.85, 0.32);

    // Row: tile 30, spacing 8, title, spacing 8, waves 18; padding 10.
    const QRectF tile(c.left() + 10, c.center().y() - 15, 30, 30);
    QPainterPath formaTile;
    formaTile.addRoundedRect(tile, 7, 7);
    p.fillPath(formaTile.translated(0, 2), QColor::fromRgbF(0, 0, 0, 0.22f * 0.5f));
    if (!copertina(p, stato_.albumArt, tile, 7)) {
        QColor fondo = primario;
        fondo.setAlphaF(0.12f);
        p.fillPath(formaTile, fondo);
        QColor secondario = primario;
        secondario.setAlphaF(0.55f);
        simbolo(p, QStringLiteral("music.note"), tile, 12, secondario);
    }
    p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.1f), 0.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(formaTile);
    const double xTitolo = tile.right() + 8;
    testoRiga(p, stato_.trackTitle, QRectF(xTitolo, c.top(), c.right() - 10 - 18 - 8 - xTitolo, c.height()),
              carattere(11, QFont::DemiBold), primario);

    if (stato_.totalDuration > 0) {
        QColor binario = primario;
        binario.setAlphaF(0.16f);
        QPainterPath traccia;
        traccia.addRect(QRectF(c.left(), c.bottom() - kAltezzaFilo, kCard.width(), kAltezzaFilo));
        p.fillPath(traccia.intersected(forma), binario);
    }

    QLinearGradient bordo(c.topLeft(), c.bottomRight());
    bordo.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.2f));
    bordo.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, 0));
    bordo.setColorAt(1, QColor::fromRgbF(1, 1, 1, 0.06f));
    p.setPen(QPen(QBrush(bordo), 0.5));
    p.drawPath(forma);
}
