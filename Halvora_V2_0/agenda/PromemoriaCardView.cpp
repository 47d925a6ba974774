#include "PromemoriaCardView.h"

#include "Colori.h"
#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace AspettoScheda;

namespace {
constexpr double kBadge = 26;
} // namespace

PromemoriaCardView::PromemoriaCardView(Promemoria promemoria, std::function<void()> onFatto,
                                       std::function<void()> onRimanda, Clock& clock, QWidget* parent)
    : SchedaChiusa(kDimensione, clock, parent), promemoria_(std::move(promemoria)), onFatto_(std::move(onFatto)),
      onRimanda_(std::move(onRimanda)), sfondo_(new VistaFormaPulsante(this, clock)),
      badge_(new VistaFormaPulsante(this, clock)),
      dopo_(new PulsanteCapsula(tr("Dopo"), {carattere(10, QFont::DemiBold), Qt::white, primario(0.22), 8, 4}, this)),
      fatto_(new PulsanteCapsula(tr("Fatto"), {carattere(10, QFont::Bold), Colori::arancione(), Qt::white, 8, 4}, this))
{
    sfondo_->configura({Colori::arancione(), FormaPulsante::Forma::rettangolo(kRaggio), {0.8, 0.95}, 4,
                        FormaPulsante::Ombra{0.4f, 20, 8}});
    badge_->configura({Qt::white, FormaPulsante::Forma::cerchio(), {0.18, 0.3}, 4, std::nullopt});
    dopo_->setToolTip(tr("Ricordamelo fra dieci minuti"));
    alzaPrimoPiano();
    dopo_->raise();
    fatto_->raise();
    connect(dopo_, &QAbstractButton::clicked, this, [this] {
        if (onRimanda_)
            onRimanda_();
    });
    connect(fatto_, &QAbstractButton::clicked, this, [this] {
        if (onFatto_)
            onFatto_();
    });

    const QRectF c = rettangoloScheda();
    const QRectF riga = rigaContenuto();
    sfondo_->setGeometry(c.toAlignedRect());
    badge_->setGeometry(QRectF(riga.left(), c.center().y() - kBadge / 2, kBadge, kBadge).toAlignedRect());
    const QSize sf = fatto_->sizeHint(), sd = dopo_->sizeHint();
    const double xFatto = riga.right() - sf.width();
    const double xDopo = xFatto - kSpaziatura - sd.width();
    fatto_->setGeometry(QRectF(xFatto, c.center().y() - sf.height() / 2.0, sf.width(), sf.height()).toAlignedRect());
    dopo_->setGeometry(QRectF(xDopo, c.center().y() - sd.height() / 2.0, sd.width(), sd.height()).toAlignedRect());
}

void PromemoriaCardView::setErrore(const QString& errore)
{
    if (errore == errore_)
        return;
    errore_ = errore;
    setToolTip(errore_);
    update();
}

QString PromemoriaCardView::sottotitolo() const { return errore_.isEmpty() ? tr("Promemoria") : errore_; }

void PromemoriaCardView::disegnaPrimoPiano(QPainter& p)
{
    const QRectF c = rettangoloScheda();
    disegnaBordo(p, primario(0.3));
    const QRectF badge = badge_->geometry();
    const int lato = 14;
    const QPixmap simbolo = Simboli::pixmap(QStringLiteral("checklist"), lato, Qt::white, devicePixelRatioF());
    p.drawPixmap(QRectF(badge.center().x() - lato / 2.0, badge.center().y() - lato / 2.0, lato, lato), simbolo,
                 simbolo.rect());

    const QFont titolo = carattere(12, QFont::DemiBold);
    const QFont etichetta = didascalia();
    const QFontMetricsF mt(titolo), me(etichetta);
    const double x = badge.right() + kSpaziatura;
    // The buttons keep their room: the title gives way (4 points at least).
    const double larghezza = dopo_->x() - 4 - x;
    const double y = c.center().y() - (mt.height() + 1 + me.height()) / 2;
    AspettoScheda::riga(p, QRectF(x, y, larghezza, mt.height()), promemoria_.titolo, titolo, Qt::white);
    // A failure in full white: it is what the user must read.
    AspettoScheda::riga(p, QRectF(x, y + mt.height() + 1, larghezza, me.height()), sottotitolo(), etichetta,
                        errore_.isEmpty() ? primario(0.75) : primario());
}
