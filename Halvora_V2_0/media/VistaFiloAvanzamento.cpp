#include "VistaFiloAvanzamento.h"

#include "BattitoStrati.h"
#include "DisegnoInBande.h"

#include <QPainter>
#include <cmath>

VistaFiloAvanzamento::VistaFiloAvanzamento(QWidget* parent, Clock& clock) : QWidget(parent), clock_(clock)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
}

bool VistaFiloAvanzamento::scorre(std::optional<double> vecchia, double nuova, double durata)
{
    return vecchia && std::abs(nuova - *vecchia) <= kSaltoMassimo && durata > 0;
}

double VistaFiloAvanzamento::larghezzaCorrente() const
{
    if (durata_ <= 0)
        return verso_;
    const double t = std::clamp((clock_.monotonic() - inizio_) / durata_, 0.0, 1.0);
    return da_ + (verso_ - da_) * t;
}

void VistaFiloAvanzamento::setForma(const QPainterPath& forma)
{
    if (forma == forma_)
        return;
    forma_ = forma;
    ++versioneForma_;
    update();
}

void VistaFiloAvanzamento::aggiorna(double frazione, double larghezza, double altezza, const QColor& colore, double durata)
{
    if (colore != colore_ || altezza != altezza_ || larghezza != larghezza_) {
        colore_ = colore;
        altezza_ = altezza;
        larghezza_ = larghezza;
        update();
    }
    if (ultimaFrazione_ && *ultimaFrazione_ == frazione)
        return;
    const double obiettivo = larghezza * (frazione > 0 ? std::min(frazione, 1.0) : 0.0);
    const double attuale = larghezzaCorrente();
    const std::optional<double> vecchia = ultimaFrazione_;
    ultimaFrazione_ = frazione;
    if (scorre(vecchia, frazione, durata)) {
        da_ = attuale;
        verso_ = obiettivo;
        inizio_ = clock_.monotonic();
        durata_ = durata;
        avviaMoto();
    } else {
        timer_.cancel();
        da_ = verso_ = obiettivo;
        durata_ = 0;
        ridisegnaPunta();
    }
}

void VistaFiloAvanzamento::avviaMoto()
{
    // Frames only while it glides and can be seen; hidden, it glides on unseen.
    if (!isVisible() || durata_ <= 0 || clock_.monotonic() - inizio_ >= durata_) {
        timer_.cancel();
        return;
    }
    if (!timer_.isActive())
        timer_ = BattitoStrati::segui(clock_, [this] {
            if (clock_.monotonic() - inizio_ >= durata_) {
                timer_.cancel();
                durata_ = 0;
            }
            ridisegnaPunta();
        });
}

void VistaFiloAvanzamento::showEvent(QShowEvent*) { avviaMoto(); }

void VistaFiloAvanzamento::hideEvent(QHideEvent*) { avviaMoto(); }

void VistaFiloAvanzamento::ridisegnaPunta()
{
    // The line grows a pixel or two over its glide: only the frames that
    // move its end, and only around it, are drawn.
    const int dopo = pixelLarghezza();
    if (dopo == disegnata_)
        return;
    const qreal dpr = devicePixelRatioF();
    const int da = int(std::floor(std::min(dopo, disegnata_) / dpr)) - 1;
    const int a = int(std::ceil(std::max(dopo, disegnata_) / dpr)) + 1;
    update(QRect(da, 0, a - da, height()));
}

int VistaFiloAvanzamento::pixelLarghezza() const
{
    return int(std::lround(larghezzaCorrente() * devicePixelRatioF()));
}

const QImage& VistaFiloAvanzamento::immagine()
{
    const qreal dpr = devicePixelRatioF();
    const QString chiave = QStringLiteral("%1x%2@%3/%4/%5")
                               .arg(larghezza_)
                               .arg(altezza_)
                               .arg(dpr)
                               .arg(colore_.rgba())
                               .arg(versioneForma_);
    if (chiave != chiaveImmagine_) {
        chiaveImmagine_ = chiave;
        const QSizeF lato(larghezza_, altezza_);
        immagine_ = immagineTrasparente(lato, dpr);
        QPainter p(&immagine_);
        if (!forma_.isEmpty()) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setClipPath(forma_);
        }
        p.fillRect(QRectF(QPointF(0, 0), lato), colore_);
    }
    return immagine_;
}

void VistaFiloAvanzamento::paintEvent(QPaintEvent*)
{
    disegnata_ = pixelLarghezza();
    if (disegnata_ <= 0)
        return;
    // The part of the whole line up to its end, copied as it is.
    const QImage& tutta = immagine();
    const qreal dpr = devicePixelRatioF();
    const int fino = std::min(disegnata_, tutta.width());
    QPainter p(this);
    p.drawImage(QRectF(0, 0, fino / dpr, tutta.height() / dpr), tutta, QRectF(0, 0, fino, tutta.height()));
}
