#include "PropostaVideoCardView.h"

#include "DisegnoMedia.h"
#include "SchedaChiusa.h"
#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPainterPath>

using DisegnoMedia::carattere;

namespace {

constexpr double kRaggio = 16;
constexpr double kPadding = 12;
constexpr double kSpaziatura = 10;

QColor bianco(double opacita) { return QColor::fromRgbF(1, 1, 1, float(opacita)); }

QPainterPath forma(const QRectF& r)
{
    QPainterPath p;
    p.addRoundedRect(r, kRaggio, kRaggio);
    return p;
}

} // namespace

PropostaVideoCardView::PropostaVideoCardView(VideoNotchManager::Proposta proposta, std::function<void()> onSi,
                                             std::function<void()> onNo, QColor colore, QWidget* parent)
    : QWidget(parent), proposta_(std::move(proposta)), colore_(colore),
      si_(new PulsanteTondo(QStringLiteral("pip.enter"), 26, 12, colore, Qt::white, this)),
      no_(new PulsanteTondo(QStringLiteral("xmark"), 22, 9, Qt::white, bianco(0.22), this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(QSizeF(kDimensione.width() + kMargini.left() + kMargini.right(),
                        kDimensione.height() + kMargini.top() + kMargini.bottom())
                     .toSize());
    si_->setToolTip(tr("Continua a guardare questo video sotto la tacca"));
    no_->setToolTip(tr("Non ora"));
    connect(si_, &QAbstractButton::clicked, this, [f = std::move(onSi)] {
        if (f)
            f();
    });
    connect(no_, &QAbstractButton::clicked, this, [f = std::move(onNo)] {
        if (f)
            f();
    });
    const QRectF c = rettangoloScheda();
    const double destra = c.right() - kPadding;
    no_->move(QPointF(destra - 22, c.center().y() - 11).toPoint());
    si_->move(QPointF(destra - 22 - kSpaziatura - 26, c.center().y() - 13).toPoint());
}

QRectF PropostaVideoCardView::rettangoloScheda() const
{
    return QRectF(QPointF(kMargini.left(), kMargini.top()), kDimensione);
}

void PropostaVideoCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF c = rettangoloScheda();
    const QPainterPath f = forma(c);
    if (ombra_.size() != size()) {
        QColor ombra = colore_;
        ombra.setAlphaF(0.35f);
        ombra_ = ombraSfocata(f.translated(0, 8), size(), 20, ombra);
    }
    p.drawImage(0, 0, ombra_);
    QColor fondo = colore_;
    fondo.setAlphaF(0.88f);
    p.fillPath(f, fondo);
    p.setPen(QPen(bianco(0.3), 0.5));
    p.drawPath(f);

    // The icon: a play symbol on a faint white circle.
    const QRectF icona(c.left() + kPadding, c.center().y() - 13, 26, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(bianco(0.2));
    p.drawEllipse(icona);
    DisegnoMedia::simbolo(p, QStringLiteral("play.rectangle.fill"), icona, 13, Qt::white);

    // The texts take what the buttons and the 4-point spacer leave.
    const double x = icona.right() + kSpaziatura;
    const double larghezza = std::max(0.0, si_->x() - kSpaziatura - 4 - kSpaziatura - x);
    const QFont titolo = carattere(12, QFont::DemiBold), sotto = carattere(9, QFont::Medium);
    const double ht = QFontMetricsF(titolo).height(), hs = QFontMetricsF(sotto).height();
    const double y = c.center().y() - (ht + 1 + hs) / 2;
    DisegnoMedia::testoRiga(p, tr("Guarda nella tacca"), QRectF(x, y, larghezza, ht), titolo, Qt::white, 0.8);
    DisegnoMedia::testoRiga(p, proposta_.sessione.titolo, QRectF(x, y + ht + 1, larghezza, hs), sotto, bianco(0.85));
}
