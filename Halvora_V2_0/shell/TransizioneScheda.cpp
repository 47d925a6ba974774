#include "TransizioneScheda.h"

#include "DisegnoInBande.h"

#include <QPainter>
#include <cmath>

namespace {
// Room above the card for the upward offset of an entering card.
constexpr int kMargine = 16;
// Device lines a band: under the notch's curved edge each line is cut in
// several pieces, elsewhere in one.
constexpr int kRigheSottoTacca = 8;
constexpr int kRighe = 64;

double tra(double a, double b, double t)
{
    return a + (b - a) * t;
}
} // namespace

TransizioneScheda::TransizioneScheda(const QPixmap& immagine, QRect dove, Posa da, Posa a, CostantiMolla molla,
                                     QWidget* parent)
    : QWidget(parent), immagine_(immagine), da_(da), a_(a), parametri_(molla)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(dove.adjusted(0, -kMargine, 0, 0));
    // A hundredth of the way is under a pixel of the card's scale and two
    // steps of its opacity: the motion ends there.
    molla_.setTolleranza(0.005);
    animatore_.segui(&molla_);
    connect(&animatore_, &AnimatoreMolle::passo, this, [this] {
        setAvanzamento(molla_.valore());
        if (!animatore_.attivo())
            completa();
    });
}

void TransizioneScheda::avvia()
{
    raise();
    show();
    molla_.salta(0);
    molla_.vaiA(1, parametri_);
    animatore_.avvia();
}

QRect TransizioneScheda::quadro() const
{
    const qreal dpr = devicePixelRatioF();
    const QRectF r = rettangoloDisegnato();
    return {int(std::lround(r.x() * dpr)), int(std::lround(r.y() * dpr)), int(std::lround(r.width() * dpr)),
            int(std::lround(r.height() * dpr))};
}

void TransizioneScheda::setAvanzamento(double t)
{
    t_ = t;
    // A step that moves nothing by a pixel nor fades it by a step draws nothing.
    const QRect q = quadro();
    const int alfa = int(std::lround(opacita() * 255));
    if (q == disegnato_ && alfa == alfaDisegnato_)
        return;
    disegnato_ = q;
    alfaDisegnato_ = alfa;
    update();
}

void TransizioneScheda::completa()
{
    if (finita_)
        return;
    finita_ = true;
    animatore_.completa();
    t_ = 1;
    update();
    emit finita();
    deleteLater();
}

QRectF TransizioneScheda::rettangoloDisegnato() const
{
    const double scala = tra(da_.scala, a_.scala, t_);
    const QSizeF dim = immagine_.deviceIndependentSize();
    const QRectF r(dim.width() / 2 * (1 - scala), kMargine + tra(da_.scostamentoY, a_.scostamentoY, t_),
                   dim.width() * scala, dim.height() * scala);
    return r.translated(pos());
}

double TransizioneScheda::opacita() const
{
    return std::clamp(tra(da_.opacita, a_.opacita, t_), 0.0, 1.0);
}

void TransizioneScheda::paintEvent(QPaintEvent*)
{
    const double opacita = this->opacita();
    if (opacita <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setOpacity(opacita);
    const double scala = tra(da_.scala, a_.scala, t_);
    const QSizeF dim = immagine_.deviceIndependentSize();
    const QRectF dove = rettangoloDisegnato().translated(-pos());
    auto disegna = [&] {
        p.save();
        p.translate(dim.width() / 2, kMargine + tra(da_.scostamentoY, a_.scostamentoY, t_));
        p.scale(scala, scala);
        p.drawPixmap(QPointF(-dim.width() / 2, 0), immagine_);
        p.restore();
    };
    // Beneath the notch the picture is cut by its outline; below it, only by the bands.
    double sottoTacca = dove.top();
    if (sopra_) {
        QPainterPath fuori;
        fuori.addRect(rect());
        const QPainterPath tacca = sopra_().translated(-pos());
        sottoTacca = std::clamp(tacca.boundingRect().bottom(), dove.top(), dove.bottom());
        if (sottoTacca > dove.top()) {
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setClipPath(fuori.subtracted(tacca));
            disegnaInBande(p, QRectF(dove.left(), dove.top(), dove.width(), sottoTacca - dove.top()), kRigheSottoTacca,
                           disegna);
            p.restore();
        }
    }
    disegnaInBande(p, QRectF(dove.left(), sottoTacca, dove.width(), dove.bottom() - sottoTacca), kRighe, disegna);
}
