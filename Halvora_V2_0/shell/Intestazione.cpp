#include "Intestazione.h"

#include "Riquadro.h"

#include <QPainter>

namespace {
constexpr int kRientro = 4;

QFont carattereIntestazione()
{
    QFont f = Riquadro::carattere(10, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    return f;
}
} // namespace

Intestazione::Intestazione(const QString& titolo, QWidget* parent) : QWidget(parent), titolo_(titolo)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(titolo_);
}

QSize Intestazione::sizeHint() const
{
    const QFontMetrics fm(carattereIntestazione());
    return {kRientro + fm.horizontalAdvance(titolo_.toUpper()), fm.height()};
}

void Intestazione::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(carattereIntestazione());
    p.setPen(Riquadro::terziario());
    p.drawText(rect().adjusted(kRientro, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, titolo_.toUpper());
}
