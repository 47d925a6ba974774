#include "SchedaChiusa.h"

#include "Simboli.h"
#include "StratiPulsanti.h"
#include "DisegnoInBande.h"

#include <QCache>
#include <QEvent>
#include <QFontMetricsF>
#include <QStaticText>
#include <algorithm>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
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
    // Cut and laid out once per text, font and width: a card redrawn with
    // each frame of what pulses under it shapes no text again.
    struct Riga {
        QStaticText testo;
        double altezza;
    };
    static QCache<QString, Riga> fatte(64);
    const QString chiave =
        testo + QChar(0) + f.key() + QChar(0) + QString::number(dove.width()) + QChar(0) + QString::number(p.device() ? p.device()->devicePixelRatioF() : 1);
    Riga* r = fatte.object(chiave);
    if (!r) {
        const QFontMetricsF m(f);
        r = new Riga{QStaticText(m.elidedText(testo, Qt::ElideRight, dove.width())), m.height()};
        r->testo.setTextFormat(Qt::PlainText);
        r->testo.setTextWidth(-1);
        r->testo.prepare(QTransform(), f);
        fatte.insert(chiave, r);
    }
    p.setFont(f);
    p.setPen(colore);
    p.drawStaticText(QPointF(dove.left(), dove.center().y() - r->altezza / 2), r->testo);
}

void simbolo(QPainter& p, const QString& nome, const QRectF& dove, double lato, const QColor& colore)
{
    const int l = std::max(1, static_cast<int>(std::lround(lato)));
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPixmap px = Simboli::pixmap(nome, l, colore, std::max<qreal>(dpr, 1.0));
    p.drawPixmap(QRectF(dove.center().x() - l / 2.0, dove.center().y() - l / 2.0, l, l), px, QRectF(px.rect()));
}

void disco(QPainter& p, const QRectF& dove, const QColor& colore)
{
    const qreal dpr = std::max<qreal>(p.device() ? p.device()->devicePixelRatioF() : 1.0, 1.0);
    const QSize lato = (dove.size() * dpr).toSize();
    const QString chiave = QStringLiteral("disco/%1x%2/%3").arg(lato.width()).arg(lato.height()).arg(colore.rgba());
    QPixmap px;
    if (!QPixmapCache::find(chiave, &px)) {
        px = QPixmap(lato);
        px.fill(Qt::transparent);
        QPainter q(&px);
        q.setRenderHint(QPainter::Antialiasing);
        q.setPen(Qt::NoPen);
        q.setBrush(colore);
        q.drawEllipse(QRectF(QPointF(0, 0), QSizeF(lato)));
        q.end();
        QPixmapCache::insert(chiave, px);
    }
    p.drawPixmap(dove, px, QRectF(px.rect()));
}

QPainterPath formaScheda(const QRectF& r)
{
    QPainterPath p;
    p.addRoundedRect(r, kRaggio, kRaggio);
    return p;
}

} // namespace AspettoScheda

using namespace AspettoScheda;

// Paints the card's foreground on behalf of its owner, above the pulsing
// children and below the buttons, from a picture drawn again only when
// the card says what it shows changed: the frames of a pulse beneath copy it.
class PrimoPiano final : public QWidget {
public:
    explicit PrimoPiano(std::function<void(QPainter&)> disegna, QWidget* parent)
        : QWidget(parent), disegna_(std::move(disegna))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }
    void invalida() { valida_ = false; }

protected:
    // What the card shows may change unseen (a count of minutes): it comes
    // back drawn afresh.
    void hideEvent(QHideEvent*) override { invalida(); }
    void paintEvent(QPaintEvent*) override
    {
        const qreal dpr = devicePixelRatioF();
        if (!valida_ || immagine_.size() != size() * dpr || immagine_.devicePixelRatio() != dpr) {
            immagine_ = immagineTrasparente(size(), dpr);
            QPainter q(&immagine_);
            q.setRenderHint(QPainter::Antialiasing);
            q.setRenderHint(QPainter::TextAntialiasing);
            q.setRenderHint(QPainter::SmoothPixmapTransform);
            disegna_(q);
            valida_ = true;
        }
        QPainter p(this);
        copiaImmagine(p, QPointF(0, 0), immagine_);
    }

private:
    std::function<void(QPainter&)> disegna_;
    QImage immagine_;
    bool valida_ = false;
};

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

void SchedaChiusa::update()
{
    primoPiano_->invalida();
    QWidget::update();
}

void SchedaChiusa::resizeEvent(QResizeEvent*) { primoPiano_->setGeometry(rect()); }

void SchedaChiusa::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LanguageChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(e);
}

void SchedaChiusa::disegnaDa(QPainter& p, Immagine& immagine, Chiave chiave,
                             const std::function<void(QPainter&)>& disegna)
{
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : devicePixelRatioF();
    chiave[6] = width();
    chiave[7] = height();
    chiave[8] = dpr;
    if (chiave != immagine.chiave || immagine.immagine.isNull()) {
        immagine.chiave = chiave;
        immagine.immagine = immagineTrasparente(size(), dpr);
        QPainter q(&immagine.immagine);
        q.setRenderHint(QPainter::Antialiasing);
        disegna(q);
    }
    // Copied pixel for pixel: a smoothing hint would send it through the
    // raster engine's general path, which wakes Qt's pooled threads.
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    copiaImmagine(p, QPointF(0, 0), immagine.immagine);
    p.restore();
}

void SchedaChiusa::disegnaFondo(QPainter& p, const QColor& coloreOmbra)
{
    const QRectF scheda = rettangoloScheda();
    disegnaDa(p, fondo_, {0, double(coloreOmbra.rgba()), double(materiale().rgba())}, [&](QPainter& q) {
        const QPainterPath f = formaScheda(scheda);
        q.drawImage(QRectF(rect()), ombraSfocata(f.translated(0, 8), size(), 18, coloreOmbra));
        q.drawImage(QRectF(rect()), ombraSfocata(f.translated(0, 1), size(), 3, QColor::fromRgbF(0, 0, 0, 0.1f)));
        q.fillPath(f, materiale());
    });
}

void SchedaChiusa::disegnaSfondoCalmo(QPainter& p, const QColor& colore, double da, double a, double ombra)
{
    // Its own kind (1), so that it never takes a plain fill's picture.
    const Chiave chiave{1, double(colore.rgba()), da, a, ombra, double(materiale().rgba())};
    disegnaDa(p, fondo_, chiave, [&](QPainter& q) {
        const QRectF scheda = rettangoloScheda();
        const QPainterPath f = formaScheda(scheda);
        q.drawImage(QRectF(rect()), ombraSfocata(f.translated(0, 8), size(), 18, conOpacita(colore, ombra)));
        q.drawImage(QRectF(rect()), ombraSfocata(f.translated(0, 1), size(), 3, QColor::fromRgbF(0, 0, 0, 0.1f)));
        q.fillPath(f, materiale());
        QLinearGradient g(scheda.topLeft(), scheda.bottomRight());
        g.setColorAt(0, conOpacita(colore, da));
        g.setColorAt(1, conOpacita(colore, a));
        q.fillPath(f, g);
        q.setPen(QPen(primario(0.16), 0.5));
        q.setBrush(Qt::NoBrush);
        q.drawPath(f);
    });
}

void SchedaChiusa::disegnaBordo(QPainter& p, const QColor& colore, double larghezza)
{
    disegnaDa(p, bordo_, {2, double(colore.rgba()), larghezza}, [&](QPainter& q) {
        q.setPen(QPen(colore, larghezza));
        q.setBrush(Qt::NoBrush);
        q.drawPath(formaScheda(rettangoloScheda()));
    });
}

RulloCifre::RulloCifre(SchedaChiusa& vista, Clock& clock, double durata) : vista_(vista), clock_(clock), durata_(durata) {}

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
    const qreal dpr = devicePixelRatioF();
    if (immagine_.isNull() || chiave_.lato != size() || chiave_.dpr != dpr || chiave_.giu != isDown()
        || chiave_.testo != text()) {
        chiave_ = {size(), dpr, isDown(), text()};
        immagine_ = immagineTrasparente(size(), dpr);
        QPainter q(&immagine_);
        disegna(q);
    }
    QPainter p(this);
    p.drawImage(QPointF(0, 0), immagine_);
}

void PulsanteCapsula::disegna(QPainter& p)
{
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
