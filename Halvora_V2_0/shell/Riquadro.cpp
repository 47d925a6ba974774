#include "Riquadro.h"

#include "Disegno.h"
#include "SchedaChiusa.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr double kRaggio = 12;

class Divisore final : public QWidget {
public:
    explicit Divisore(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // The dark interface's separator colour (white at a quarter), faded to 40 %.
        QPainter(this).fillRect(rect(), Disegno::primario(0.25 * 0.4));
    }
};

} // namespace

Riquadro::Riquadro(QWidget* parent) : QWidget(parent), righe_(new QVBoxLayout(this))
{
    righe_->setContentsMargins(10, 12, 10, 12);
    righe_->setSpacing(10);
    righe_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void Riquadro::aggiungi(QWidget* riga)
{
    righe_->addWidget(riga);
}

void Riquadro::aggiungi(QLayout* riga)
{
    righe_->addLayout(riga);
}

void Riquadro::aggiungiDivisore()
{
    righe_->addWidget(new Divisore(this));
}

QFont Riquadro::carattere(int pixel, QFont::Weight peso)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}

QLabel* Riquadro::testo(const QString& testo, const QFont& font, const QColor& colore, QWidget* parent)
{
    auto* l = new QLabel(testo, parent);
    l->setFont(font);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colore);
    l->setPalette(pal);
    return l;
}

QColor Riquadro::terziario()
{
    return AspettoScheda::terziario();
}

QColor Riquadro::leggibile(const QColor& colore)
{
    return AspettoScheda::leggibileSulPannello(colore, materialeRegolare().alphaF());
}

QColor Riquadro::materialeUltraSottile()
{
    return Disegno::primario(0.06);
}

QColor Riquadro::materialeRegolare()
{
    return Disegno::primario(0.12);
}

void Riquadro::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(Disegno::rettangoloContinuo(QRectF(rect()), kRaggio), materialeUltraSottile());
}
