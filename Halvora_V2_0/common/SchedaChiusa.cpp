#include "SchedaChiusa.h"

#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QFontMetricsF>
#include <algorithm>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace AspettoScheda {

QColor conOpacita(QColor c, double opacita)
{
    c.setAlphaF(static_cast<float>(std::clamp(c.alphaF() * opacita, 0.0, 1.0)));
    return c;
}

QColor primario(double opacita) { return conOpacita(Qt::white, opacita); }

QColor secondario() { return primario(0.6); }

QColor terziario() { return primario(0.55); }

QColor fondoTesti(double velo)
{
    const QColor denso(22, 22, 26, 242);
    return composto(primario(velo), composto(denso, Qt::white));
}

QColor composto(const QColor& sopra, const QColor& sotto)
{
    const double a = sopra.alphaF();
    auto canale = [a](int s, int t) { return int(std::lround(s * a + t * (1 - a))); };
    return QColor(canale(sopra.red(), sotto.red()), canale(sopra.green(), sotto.green()),
                  canale(sopra.blue(), sotto.blue()));
}

double contrasto(const QColor& a, const QColor& b)
{
    auto luminanza = [](const QColor& c) {
        auto lineare = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lineare(c.redF()) + 0.7152 * lineare(c.greenF()) + 0.0722 * lineare(c.blueF());
    };
    const double la = luminanza(a), lb = luminanza(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor leggibile(const QColor& colore, const QColor& fondo)
{
    QColor c = colore;
    c.setAlpha(255);
    for (int passo = 1; contrasto(c, fondo) < 4.5 && passo <= 20; ++passo)
        c = composto(conOpacita(Qt::white, passo / 20.0), colore.rgb());
    c.setAlphaF(colore.alphaF());
    return c;
}

QColor leggibileSulPannello(const QColor& colore, double velo, const QColor& tinta)
{
    return leggibile(colore, composto(tinta, fondoTesti(velo)));
}

namespace {
bool sfocaturaDietro = false;
}

QColor materiale() { return sfocaturaDietro ? QColor(30, 30, 34, 178) : QColor(22, 22, 26, 242); }

void setSfocaturaDietro(bool sfocata) { sfocaturaDietro = sfocata; }

QFont carattere(double punti, QFont::Weight peso, bool monospazio)
{
    QFont f = monospazio ? QFont(QStringLiteral("monospace")) : QFont();
    if (monospazio)
        f.setStyleHint(QFont::Monospace);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(punti))));
    f.setWeight(peso);
    return f;
}

QFont didascalia()
{
    QFont f = carattere(8, QFont::DemiBold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    return f;
}

void riga(QPainter& p, const QRectF& dove, const QString& testo, const QFont& f, const QColor& colore)
{
    const QFontMetricsF m(f);
    p.setFont(f);
    p.setPen(colore);
    p.drawText(dove, Qt::AlignLeft | Qt::AlignVCenter, m.elidedText(testo, Qt::ElideRight, dove.width()));
}

void simbolo(QPainter& p, const QString& nome, const QRectF& dove, double lato, const QColor& colore)
{
    const int l = std::max(1, static_cast<int>(std::lround(lato)));
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap px = Simboli::pixmap(nome, l, colore, std::max<qreal>(dpr, 1.0));
    p.drawPixmap(QRectF(dove.center().x() - l / 2.0, dove.center().y() - l / 2.0, l, l), px, QRectF(px.rect()));
}

} // namespace AspettoScheda

using namespace AspettoScheda;

namespace {

QPainterPath forma(const QRectF& r)
{
    QPainterPath p;
    p.addRoundedRect(r, kRaggio, kRaggio);
    return p;
}

// Paints the card's foreground on behalf of its owner, above the pulsing
// children and below the buttons.
class PrimoPiano final : public QWidget {
public:
    explicit PrimoPiano(std::function<void(QPainter&)> disegna, QWidget* parent)
        : QWidget(parent), disegna_(std::move(disegna))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        disegna_(p);
    }

private:
    std::function<void(QPainter&)> disegna_;
};

} // namespace

SchedaChiusa::SchedaChiusa(QSizeF dimensione, Clock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock),
      primoPiano_(new PrimoPiano([this](QPainter& p) { disegnaPrimoPiano(p); }, this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setDimensioneScheda(dimensione);
}

void SchedaChiusa::setDimensioneScheda(QSizeF dimensione)
{
    dimensione_ = dimensione;
    setFixedSize(QSizeF(dimensione.width() + kMargini.left() + kMargini.right(),
                        dimensione.height() + kMargini.top() + kMargini.bottom())
                     .toSize());
    primoPiano_->setGeometry(rect());
}

QRectF SchedaChiusa::rettangoloScheda() const
{
    return QRectF(QPointF(kMargini.left(), kMargini.top()), dimensione_);
}

QRectF SchedaChiusa::rigaContenuto() const { return rettangoloScheda().adjusted(kPadding, 0, -kPadding, 0); }

void SchedaChiusa::alzaPrimoPiano() { primoPiano_->raise(); }

void SchedaChiusa::resizeEvent(QResizeEvent*) { primoPiano_->setGeometry(rect()); }

void SchedaChiusa::disegnaFondo(QPainter& p, const QColor& coloreOmbra)
{
    const QRectF scheda = rettangoloScheda();
    const QString chiave = coloreOmbra.name(QColor::HexArgb) + QLatin1Char('/') + QString::number(scheda.width());
    if (chiave != chiaveOmbra_ || ombra_.size() != size()) {
        const QPainterPath f = forma(scheda);
        ombra_ = ombraSfocata(f.translated(0, 8), size(), 18, coloreOmbra);
        QPainter q(&ombra_);
        q.drawImage(0, 0, ombraSfocata(f.translated(0, 1), size(), 3, QColor::fromRgbF(0, 0, 0, 0.1f)));
        chiaveOmbra_ = chiave;
    }
    p.drawImage(0, 0, ombra_);
    p.fillPath(forma(scheda), materiale());
}

void SchedaChiusa::disegnaSfondoCalmo(QPainter& p, const QColor& colore, double da, double a, double ombra)
{
    p.setRenderHint(QPainter::Antialiasing);
    disegnaFondo(p, conOpacita(colore, ombra));
    const QRectF scheda = rettangoloScheda();
    QLinearGradient g(scheda.topLeft(), scheda.bottomRight());
    g.setColorAt(0, conOpacita(colore, da));
    g.setColorAt(1, conOpacita(colore, a));
    p.fillPath(forma(scheda), g);
    disegnaBordo(p, primario(0.16));
}

void SchedaChiusa::disegnaBordo(QPainter& p, const QColor& colore, double larghezza)
{
    p.setPen(QPen(colore, larghezza));
    p.setBrush(Qt::NoBrush);
    p.drawPath(forma(rettangoloScheda()));
}

RulloCifre::RulloCifre(QWidget& vista, Clock& clock, double durata) : vista_(vista), clock_(clock), durata_(durata) {}

void RulloCifre::imposta(const QString& testo)
{
    if (testo == testo_)
        return;
    const bool primo = testo_.isNull();
    precedente_ = testo_;
    testo_ = testo;
    if (primo || !vista_.isVisible()) {
        ferma();
        return;
    }
    inizio_ = clock_.monotonic();
    if (!fotogrammi_.isActive())
        fotogrammi_ = clock_.repeating(1.0 / 30, [this] {
            if (clock_.monotonic() - inizio_ >= durata_)
                fotogrammi_.cancel();
            vista_.update();
        });
}

void RulloCifre::ferma()
{
    fotogrammi_.cancel();
    vista_.update();
}

double RulloCifre::avanzamento() const
{
    if (!fotogrammi_.isActive() || !(durata_ > 0))
        return 1;
    const double t = std::clamp((clock_.monotonic() - inizio_) / durata_, 0.0, 1.0);
    return t < 0.5 ? 2 * t * t : 1 - std::pow(-2 * t + 2, 2) / 2; // ease in and out
}

void RulloCifre::disegna(QPainter& p, const QRectF& dove, const QFont& f, const QColor& colore) const
{
    const double t = avanzamento();
    if (t >= 1) {
        riga(p, dove, testo_, f, colore);
        return;
    }
    const QFontMetricsF m(f);
    const double salto = m.height() * 0.8;
    p.save();
    p.setClipRect(dove);
    p.setFont(f);
    double x = dove.left();
    for (qsizetype i = 0; i < testo_.size(); ++i) {
        const QString nuovo(testo_[i]);
        const QString vecchio = i < precedente_.size() && precedente_.size() == testo_.size() ? QString(precedente_[i])
                                                                                               : QString();
        const double larghezza = m.horizontalAdvance(nuovo);
        const QRectF cella(x, dove.top(), larghezza + 1, dove.height());
        if (vecchio == nuovo) {
            p.setPen(colore);
            p.drawText(cella, Qt::AlignLeft | Qt::AlignVCenter, nuovo);
        } else {
            p.setPen(conOpacita(colore, 1 - t));
            p.drawText(cella.translated(0, -salto * t), Qt::AlignLeft | Qt::AlignVCenter, vecchio);
            p.setPen(conOpacita(colore, t));
            p.drawText(cella.translated(0, salto * (1 - t)), Qt::AlignLeft | Qt::AlignVCenter, nuovo);
        }
        x += larghezza;
    }
    p.restore();
}

PulsanteCapsula::PulsanteCapsula(const QString& testo, Stile stile, QWidget* parent)
    : QAbstractButton(parent), stile_(std::move(stile))
{
    setText(testo);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize PulsanteCapsula::sizeHint() const
{
    const QFontMetricsF m(stile_.font);
    double w = m.horizontalAdvance(text());
    if (!stile_.simbolo.isEmpty())
        w += stile_.latoSimbolo + 4;
    return QSizeF(w + 2 * stile_.paddingX, m.height() + 2 * stile_.paddingY).toSize();
}

void PulsanteCapsula::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    p.setPen(Qt::NoPen);
    p.setBrush(stile_.fondo);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    // Pressed, the label dims as a plain button's does.
    const QColor colore = isDown() ? conOpacita(stile_.testo, 0.6) : stile_.testo;
    const QFontMetricsF m(stile_.font);
    const double larghezzaTesto = m.horizontalAdvance(text());
    double x = stile_.paddingX;
    if (!stile_.simbolo.isEmpty()) {
        const int lato = std::max(1, static_cast<int>(std::lround(stile_.latoSimbolo)));
        const QPixmap s = Simboli::pixmap(stile_.simbolo, lato, colore, devicePixelRatioF());
        p.drawPixmap(QRectF(x, r.center().y() - lato / 2.0, lato, lato), s, s.rect());
        x += lato + 4;
    }
    p.setFont(stile_.font);
    p.setPen(colore);
    p.drawText(QRectF(x, 0, larghezzaTesto + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

PulsanteTondo::PulsanteTondo(QString simbolo, double lato, double latoSimbolo, QColor colore, QColor fondo,
                             QWidget* parent)
    : QAbstractButton(parent), simbolo_(std::move(simbolo)), latoSimbolo_(latoSimbolo), colore_(colore), fondo_(fondo)
{
    setFixedSize(static_cast<int>(lato), static_cast<int>(lato));
    setCursor(Qt::PointingHandCursor);
}

void PulsanteTondo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fondo_);
    p.drawEllipse(QRectF(rect()));
    simbolo(p, simbolo_, QRectF(rect()), latoSimbolo_, colore_);
}

bool PulsanteTondo::hitButton(const QPoint& pos) const
{
    const QPointF d = QPointF(pos) - QRectF(rect()).center();
    return d.x() * d.x() + d.y() * d.y() <= width() * width() / 4.0;
}
