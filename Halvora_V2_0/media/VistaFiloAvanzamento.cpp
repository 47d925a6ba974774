#include "VistaFiloAvanzamento.h"

#include <QPainter>
#include <cmath>

namespace {
// The line moves slowly: ten frames a second are plenty.
constexpr double kFotogrammi = 10;
} // namespace

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
    if (!timer_.isActive() || durata_ <= 0)
        return verso_;
    const double t = std::clamp((clock_.monotonic() - inizio_) / durata_, 0.0, 1.0);
    return da_ + (verso_ - da_) * t;
}

void VistaFiloAvanzamento::aggiorna(double frazione, double larghezza, double altezza, const QColor& colore, double durata)
{
    if (colore != colore_) {
        colore_ = colore;
        update();
    }
    altezza_ = altezza;
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
        timer_ = clock_.repeating(1.0 / kFotogrammi, [this] {
            const bool fine = clock_.monotonic() - inizio_ >= durata_;
            if (fine)
                timer_.cancel();
            ridisegnaPunta();
        });
    } else {
        timer_.cancel();
        da_ = verso_ = obiettivo;
    }
    update();
}

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

void VistaFiloAvanzamento::paintEvent(QPaintEvent*)
{
    disegnata_ = pixelLarghezza();
    QPainter p(this);
    p.fillRect(QRectF(0, 0, larghezzaCorrente(), altezza_), colore_);
}
