#include "StratiPulsanti.h"

#include "BattitoStrati.h"
#include "Simboli.h"
#include "DisegnoInBande.h"

#include <QEasingCurve>
#include <algorithm>
#include <array>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <cmath>
#include <numbers>

const IntervalloFotogrammi& intervalloFotogrammi()
{
    static const IntervalloFotogrammi intervallo{10, 15, 15};
    return intervallo;
}

double avanzamentoOscillante(double trascorso, double velocita)
{
    if (!(velocita > 0) || !std::isfinite(velocita) || !std::isfinite(trascorso) || trascorso <= 0)
        return 0;
    const double tratto = std::numbers::pi / velocita;
    const double fase = std::fmod(trascorso, 2 * tratto) / tratto; // 0…2
    const double lineare = fase <= 1 ? fase : 2 - fase;
    // The ease-in-ease-out curve, solved once into a table: every bar of
    // every frame reads it, and solving the curve each time costs more
    // than the frame's drawing.
    static constexpr int kPassi = 512;
    static const std::array<double, kPassi + 1> tabella = [] {
        QEasingCurve c(QEasingCurve::BezierSpline);
        c.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
        std::array<double, kPassi + 1> t{};
        for (int i = 0; i <= kPassi; ++i)
            t[size_t(i)] = c.valueForProgress(double(i) / kPassi);
        return t;
    }();
    const double x = std::clamp(lineare, 0.0, 1.0) * kPassi;
    const int i = std::min(int(x), kPassi - 1);
    return std::clamp(tabella[size_t(i)] + (tabella[size_t(i) + 1] - tabella[size_t(i)]) * (x - i), 0.0, 1.0);
}

namespace {

// Three box blurs of radius r approximate a Gaussian; alpha only.
void sfoca(QImage& alfa, int r)
{
    if (r <= 0)
        return;
    const int w = alfa.width(), h = alfa.height();
    std::vector<int> riga(std::max(w, h));
    auto passata = [&](bool orizzontale) {
        const int n = orizzontale ? w : h, m = orizzontale ? h : w;
        for (int j = 0; j < m; ++j) {
            auto px = [&](int i) -> uchar& {
                return orizzontale ? alfa.scanLine(j)[i] : alfa.scanLine(i)[j];
            };
            for (int i = 0; i < n; ++i)
                riga[i] = px(i);
            int somma = 0;
            for (int i = -r; i <= r; ++i)
                somma += riga[std::clamp(i, 0, n - 1)];
            for (int i = 0; i < n; ++i) {
                px(i) = static_cast<uchar>(somma / (2 * r + 1));
                somma += riga[std::min(i + r + 1, n - 1)] - riga[std::max(i - r, 0)];
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        passata(true);
        passata(false);
    }
}

} // namespace

QImage ombraSfocata(const QPainterPath& forma, const QSize& lato, double raggio, const QColor& colore)
{
    QImage alfa(lato, QImage::Format_Alpha8);
    alfa.fill(0);
    {
        QPainter p(&alfa);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(forma, Qt::black);
    }
    // A blur radius behaves like a Gaussian of half its size.
    sfoca(alfa, int(std::lround(raggio / 2)));
    QImage colorata(lato, QImage::Format_ARGB32_Premultiplied);
    colorata.fill(colore);
    QPainter p(&colorata);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(0, 0, alfa);
    return colorata;
}

// The shadow of a pulsing shape, drawn by a sibling just beneath it so that
// it may fall outside the shape's own bounds.
class OmbraForma final : public QWidget {
public:
    explicit OmbraForma(VistaFormaPulsante* forma) : QWidget(forma->parentWidget()), forma_(forma)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

    int margine() const
    {
        const auto& o = forma_->configurazione_->ombra;
        return o ? int(std::ceil(o->raggio + std::abs(o->discesa))) + 2 : 0;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!forma_ || !forma_->configurazione_ || !forma_->configurazione_->ombra)
            return;
        const auto& c = *forma_->configurazione_;
        const int m = margine();
        const QSize lato = forma_->size() + QSize(2 * m, 2 * m);
        // Compared as numbers: a frame formats no text.
        const std::array<double, 5> chiave{double(lato.width()), double(lato.height()), forma_->raggioAngoli(),
                                           c.ombra->raggio, double(c.colore.rgba())};
        if (chiave != chiave_ || immagine_.isNull()) {
            immagine_ = ombraSfocata(forma_->tracciato().translated(m, m), lato, c.ombra->raggio,
                                     QColor(c.colore.red(), c.colore.green(), c.colore.blue()));
            chiave_ = chiave;
        }
        QPainter p(this);
        // The opacity its shape's beat last drew it at: a repaint for what
        // lies over it draws the same pixels as the beat did.
        const int alfa = forma_->alfaOmbra_;
        p.setOpacity(alfa >= 0 ? alfa / 255.0 : forma_->opacitaOmbra());
        const QPoint origine = forma_->geometry().topLeft() - geometry().topLeft();
        copiaImmagine(p, origine + QPoint(-m, -m + int(std::lround(c.ombra->discesa))), immagine_);
    }

private:
    QPointer<VistaFormaPulsante> forma_;
    std::array<double, 5> chiave_{};
    QImage immagine_;
};

VistaFormaPulsante::VistaFormaPulsante(QWidget* parent, Clock& clock) : QWidget(parent), clock_(clock)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

VistaFormaPulsante::~VistaFormaPulsante() { delete ombra_.data(); }

void VistaFormaPulsante::configura(const FormaPulsante& nuova)
{
    const bool riavvia = !configurazione_ || configurazione_->opacita != nuova.opacita
                         || configurazione_->velocita != nuova.velocita;
    configurazione_ = nuova;
    alfaOmbra_ = -1; // the shadow's colour or opacity may have changed
    seguiOmbra();
    update();
    if (riavvia)
        avviaPulsazione();
}

double VistaFormaPulsante::avanzamento() const
{
    const double t = timer_.isActive() ? clock_.monotonic() - inizio_ : 0;
    return configurazione_ ? avanzamentoOscillante(t, configurazione_->velocita) : 0;
}

double VistaFormaPulsante::opacitaCorrente() const
{
    if (!configurazione_)
        return 0;
    const auto& o = configurazione_->opacita;
    return o.inferiore + (o.superiore - o.inferiore) * avanzamento();
}

double VistaFormaPulsante::opacitaOmbra() const
{
    if (!configurazione_ || !configurazione_->ombra)
        return 0;
    return std::clamp(double(configurazione_->ombra->opacita), 0.0, 1.0) * opacitaCorrente()
           * configurazione_->colore.alphaF();
}

double VistaFormaPulsante::raggioAngoli() const
{
    if (!configurazione_)
        return 0;
    if (configurazione_->forma.tipo == FormaPulsante::Forma::Tipo::cerchio)
        return std::min(width(), height()) / 2.0;
    return std::max(0.0, configurazione_->forma.raggio);
}

QPainterPath VistaFormaPulsante::tracciato() const
{
    QPainterPath p;
    const double r = std::min(raggioAngoli(), std::min(width(), height()) / 2.0);
    p.addRoundedRect(QRectF(rect()), r, r);
    return p;
}

void VistaFormaPulsante::avviaPulsazione()
{
    timer_.cancel();
    if (!configurazione_ || !isVisible())
        return;
    inizio_ = clock_.monotonic();
    // The lowest rate of the range: an opacity that eases between two
    // near values shows no steps at it, and each frame repaints all that
    // lies over and under the shape.
    timer_ = BattitoStrati::segui(clock_, [this] { fotogramma(); }, intervalloFotogrammi().minimo);
    alfaDisegnato_ = alfaOmbra_ = -1;
    corsoDisegnato_ = -1;
    fotogramma();
}

void VistaFormaPulsante::fotogramma()
{
    // A beat draws only a step that shows beside the others: where the
    // pulse is steepest a beat moves the opacity by up to ten 255ths, and
    // near its turns steps under half that are not worth a frame, which
    // repaints all that lies over and under the shape. The step is taken
    // along the pulse's course, an eighth of it at most, so that shapes
    // pulsing together on one card step on the same beats.
    const auto& o = configurazione_->opacita;
    const double ampiezza = std::abs(o.superiore - o.inferiore);
    const double passo = ampiezza > 0 ? std::min(1.0 / 8, 5.0 / 255 / ampiezza) : 1;
    const double ora = avanzamento();
    if (corsoDisegnato_ < 0 || std::abs(ora - corsoDisegnato_) >= passo) {
        corsoDisegnato_ = ora;
        alfaDisegnato_ = int(std::lround(std::clamp(opacitaCorrente(), 0.0, 1.0) * 255));
        update();
    }
    // The shadow is repainted apart, and its wide margin, nearly three
    // times the shape's area, only in steps of 8: blurred, it shows beside
    // the shape at a fraction of its opacity, where such a step moves a
    // pixel by a few 255ths, less than the shape's own steps do.
    const int alfaOmbra = int(std::lround(opacitaOmbra() * 255));
    if (ombra_ && (alfaOmbra_ < 0 || std::abs(alfaOmbra - alfaOmbra_) >= 8)) {
        alfaOmbra_ = alfaOmbra;
        ombra_->update();
    }
}

const QImage& VistaFormaPulsante::immagine()
{
    const qreal dpr = devicePixelRatioF();
    const std::array<double, 5> chiave{double(width()), double(height()), dpr, raggioAngoli(),
                                       double(configurazione_->colore.rgba())};
    if (chiave != chiaveImmagine_ || immagine_.isNull()) {
        chiaveImmagine_ = chiave;
        immagine_ = immagineTrasparente(size(), dpr);
        QPainter p(&immagine_);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(tracciato(), configurazione_->colore);
    }
    return immagine_;
}

void VistaFormaPulsante::seguiOmbra()
{
    const bool serve = configurazione_ && configurazione_->ombra && parentWidget();
    if (!serve) {
        delete ombra_.data();
        return;
    }
    if (ombra_ && ombra_->parentWidget() != parentWidget())
        delete ombra_.data();
    if (!ombra_)
        ombra_ = new OmbraForma(this);
    const int m = ombra_->margine();
    ombra_->setGeometry(geometry().adjusted(-m, -m, m, m));
    ombra_->stackUnder(this);
    ombra_->setVisible(isVisible());
    ombra_->update();
}

void VistaFormaPulsante::paintEvent(QPaintEvent*)
{
    if (!configurazione_)
        return;
    // A copy with an opacity: no path is filled again with each frame.
    QPainter p(this);
    // The opacity the beat last drew: a repaint for what lies over it draws
    // the same pixels.
    p.setOpacity(alfaDisegnato_ >= 0 ? alfaDisegnato_ / 255.0 : std::clamp(opacitaCorrente(), 0.0, 1.0));
    copiaImmagine(p, QPointF(0, 0), immagine());
}

void VistaFormaPulsante::showEvent(QShowEvent*)
{
    seguiOmbra();
    avviaPulsazione();
}

void VistaFormaPulsante::hideEvent(QHideEvent*)
{
    // Nothing to animate while it cannot be seen.
    timer_.cancel();
    if (ombra_)
        ombra_->hide();
}

void VistaFormaPulsante::moveEvent(QMoveEvent*) { seguiOmbra(); }

void VistaFormaPulsante::resizeEvent(QResizeEvent*) { seguiOmbra(); }

void VistaFormaPulsante::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::ParentChange)
        seguiOmbra();
    QWidget::changeEvent(e);
}

VistaSimboloOscillante::VistaSimboloOscillante(QWidget* parent, Clock& clock) : QWidget(parent), clock_(clock)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void VistaSimboloOscillante::configura(const SimboloOscillante& nuova)
{
    const std::optional<SimboloOscillante> vecchia = configurazione_;
    configurazione_ = nuova;
    if (!vecchia || vecchia->simbolo != nuova.simbolo || vecchia->dimensione != nuova.dimensione
        || vecchia->peso != nuova.peso || vecchia->colore != nuova.colore)
        disegnaSimbolo();
    if (!vecchia || vecchia->gradi != nuova.gradi || vecchia->velocita != nuova.velocita)
        avviaOscillazione();
}

double VistaSimboloOscillante::angoloCorrente() const
{
    if (!configurazione_)
        return 0;
    const double t = timer_.isActive() ? clock_.monotonic() - inizio_ : 0;
    const double a = configurazione_->gradi;
    return -a + 2 * a * avanzamentoOscillante(t, configurazione_->velocita);
}

void VistaSimboloOscillante::disegnaSimbolo()
{
    if (!configurazione_ || !Simboli::esiste(configurazione_->simbolo))
        return;
    const int lato = int(std::lround(configurazione_->dimensione));
    if (lato <= 0 || lato > 4096)
        return;
    qreal scala = 2.0;
    if (QWindow* w = window()->windowHandle())
        scala = w->devicePixelRatio();
    else if (QScreen* s = QGuiApplication::primaryScreen())
        scala = s->devicePixelRatio();
    // Icon themes have one weight: `peso` only decides when to redraw.
    immagine_ = Simboli::pixmap(configurazione_->simbolo, lato, configurazione_->colore, scala);
    dimensioneImmagine_ = QSize(lato, lato);
    updateGeometry();
    update();
}

void VistaSimboloOscillante::avviaOscillazione()
{
    timer_.cancel();
    if (!configurazione_ || !isVisible())
        return;
    inizio_ = clock_.monotonic();
    timer_ = BattitoStrati::segui(clock_, [this] { update(); });
    update();
}

void VistaSimboloOscillante::paintEvent(QPaintEvent*)
{
    if (immagine_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(QRectF(rect()).center());
    p.rotate(angoloCorrente());
    const QSizeF s = dimensioneImmagine_;
    p.drawPixmap(QRectF(QPointF(-s.width() / 2, -s.height() / 2), s), immagine_, QRectF(immagine_.rect()));
}

void VistaSimboloOscillante::showEvent(QShowEvent*)
{
    if (!configurazione_)
        return;
    disegnaSimbolo(); // for the backing scale of the window it now shows in
    avviaOscillazione();
}

void VistaSimboloOscillante::hideEvent(QHideEvent*) { timer_.cancel(); }
