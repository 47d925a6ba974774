#include "UsoIAAnelloView.h"

#include "UsoIACardView.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

QString tempoRelativo(const QDateTime& quando, const QDateTime& ora)
{
    const qint64 s = std::max<qint64>(quando.secsTo(ora), 0);
    if (s < 60)
        return QCoreApplication::translate("Halvora", "adesso");
    if (s < 3600)
        return QCoreApplication::translate("Halvora", "%1 min fa").arg(s / 60);
    if (s < 86400)
        return QCoreApplication::translate("Halvora", "%1 h fa").arg(s / 3600);
    if (s < 2 * 86400)
        return QCoreApplication::translate("Halvora", "ieri");
    return QCoreApplication::translate("Halvora", "%1 g fa").arg(s / 86400);
}

ContenutoSchedaUsoIA contenutoSchedaUsoIA(const LetturaUsoIA& lettura, bool attuale, const QDateTime& ora)
{
    ContenutoSchedaUsoIA c;
    c.nome = nomeFornitore(lettura.fornitore);
    if (!attuale)
        c.eta = QCoreApplication::translate("Halvora", "Aggiornato %1").arg(tempoRelativo(lettura.scrittaIl, ora));
    auto riga = [&](const QString& titolo, const LimiteIA& l) {
        c.righe.push_back({titolo, l.percentuale, fasciaUso(l), testoAzzeramento(l, ora)});
    };
    if (lettura.sessione)
        riga(QCoreApplication::translate("Halvora", "Sessione"), *lettura.sessione);
    if (lettura.settimana)
        riga(QCoreApplication::translate("Halvora", "Settimana"), *lettura.settimana);
    return c;
}

namespace {

constexpr double kRisposta = 0.3;
constexpr double kSmorzamento = 0.8;
constexpr double kPassoAnimazione = 1.0 / 60.0;
constexpr int kPaddingScheda = 12;
constexpr int kLarghezzaInterna = UsoIAAnelloView::kLarghezzaScheda - 2 * kPaddingScheda;
// Room around the card for its shadow.
constexpr QMargins kMarginiOmbra{12, 8, 12, 18};

QFont carattere(int pixel, QFont::Weight peso)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}

QColor coloreFascia(FasciaUso f)
{
    return ColoriUsoIA::arco(f); // red, orange, or the label colour at 0.7
}

// Digits in cells of one width, so that a changing number does not jiggle.
double larghezzaCifra(const QFontMetricsF& fm)
{
    double l = 0;
    for (char c = '0'; c <= '9'; ++c)
        l = std::max(l, fm.horizontalAdvance(QLatin1Char(c)));
    return l;
}

double larghezzaPercento(const QFont& font, const QString& testo)
{
    const QFontMetricsF fm(font);
    const double cifra = larghezzaCifra(fm);
    double l = 0;
    for (QChar c : testo)
        l += c.isDigit() ? cifra : fm.horizontalAdvance(c);
    return l;
}

// Draws `testo` with fixed-width digits, its left edge at x, centred on y.
void disegnaPercento(QPainter& p, double x, double centroY, const QFont& font, const QString& testo)
{
    const QFontMetricsF fm(font);
    const double cifra = larghezzaCifra(fm);
    const double base = centroY + (fm.ascent() - fm.descent()) / 2;
    p.setFont(font);
    for (QChar c : testo) {
        const double l = c.isDigit() ? cifra : fm.horizontalAdvance(c);
        p.drawText(QPointF(x + (l - fm.horizontalAdvance(c)) / 2, base), QString(c));
        x += l;
    }
}

QString percento(qint64 valore)
{
    return QString::number(valore) + QLatin1Char('%');
}

void riempiCapsula(QPainter& p, const QRectF& r, const QColor& colore)
{
    QPainterPath forma;
    const double raggio = std::min(r.width(), r.height()) / 2;
    forma.addRoundedRect(r, raggio, raggio);
    p.fillPath(forma, colore);
}

} // namespace

// The detail card: drawn on the layer the view is given, takes no input
// (the pointer over it is not over the pill, which hides it).
class SchedaUsoIA final : public QWidget {
public:
    SchedaUsoIA(FornitoreIA fornitore, QWidget* parent) : QWidget(parent), fornitore_(fornitore)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* ombra = new QGraphicsDropShadowEffect(this);
        ombra->setColor(QColor(0, 0, 0, 46));
        ombra->setBlurRadius(20); // Qt's blur radius spans about twice the visual radius
        ombra->setOffset(0, 4);
        setGraphicsEffect(ombra);
    }

    void imposta(FornitoreIA fornitore, ContenutoSchedaUsoIA contenuto, double valore)
    {
        fornitore_ = fornitore;
        contenuto_ = std::move(contenuto);
        valore_ = valore;
        resize(QSize(UsoIAAnelloView::kLarghezzaScheda, altezzaScheda()).grownBy(kMarginiOmbra));
        update();
    }

    QRect rettangolo() const { return rect().marginsRemoved(kMarginiOmbra); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QRectF scheda = rettangolo();
        // Fades in while growing from 0.9 about its top-trailing corner.
        p.setOpacity(std::clamp(valore_, 0.0, 1.0));
        const double scala = 0.9 + 0.1 * valore_;
        p.translate(scheda.topRight());
        p.scale(scala, scala);
        p.translate(-scheda.topRight());

        QPainterPath forma;
        forma.addRoundedRect(scheda, 12, 12);
        // A dark translucent fill stands for the frosted material.
        p.fillPath(forma, QColor(40, 40, 44, 235));
        p.setPen(QPen(QColor(255, 255, 255, 31), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(forma);

        const double x = scheda.left() + kPaddingScheda;
        double y = scheda.top() + kPaddingScheda;
        const double alto = altezzaIntestazione();
        SimboloFornitore::disegna(p, QRectF(x, y + (alto - 12) / 2, 12, 12), fornitore_);
        const QFont fontNome = carattere(12, QFont::DemiBold);
        const QFontMetricsF mn(fontNome);
        const double larghezzaNome = mn.horizontalAdvance(contenuto_.nome);
        p.setFont(fontNome);
        p.setPen(ColoriUsoIA::primario());
        p.drawText(QRectF(x + 17, y, larghezzaNome + 1, alto), Qt::AlignLeft | Qt::AlignVCenter, contenuto_.nome);
        if (contenuto_.eta) {
            const QFont fontEta = carattere(9, QFont::Medium);
            const double spazio = kLarghezzaInterna - 17 - larghezzaNome - 6;
            p.setFont(fontEta);
            p.setPen(ColoriUsoIA::secondario());
            p.drawText(QRectF(x + kLarghezzaInterna - spazio, y, spazio, alto), Qt::AlignRight | Qt::AlignVCenter,
                       QFontMetricsF(fontEta).elidedText(*contenuto_.eta, Qt::ElideRight, spazio));
        }
        y += alto;
        for (const RigaFinestraUsoIA& r : contenuto_.righe) {
            y += 9;
            y = disegnaRiga(p, r, x, y);
        }
    }

private:
    static double altezzaIntestazione()
    {
        return std::max({12.0, QFontMetricsF(carattere(12, QFont::DemiBold)).height(),
                         QFontMetricsF(carattere(9, QFont::Medium)).height()});
    }
    static double altezzaTitolo()
    {
        return std::max(QFontMetricsF(carattere(11, QFont::Medium)).height(),
                        QFontMetricsF(carattere(11, QFont::DemiBold)).height());
    }
    static QRectF zonaAzzeramento(const QString& testo)
    {
        return QFontMetricsF(carattere(9, QFont::Medium))
            .boundingRect(QRectF(0, 0, kLarghezzaInterna, 1000), Qt::TextWordWrap | Qt::AlignLeft, testo);
    }

    int altezzaScheda() const
    {
        double h = kPaddingScheda + altezzaIntestazione();
        for (const RigaFinestraUsoIA& r : contenuto_.righe) {
            h += 9 + altezzaTitolo() + 3 + 4;
            if (r.azzeramento)
                h += 3 + zonaAzzeramento(*r.azzeramento).height();
        }
        return static_cast<int>(std::ceil(h + kPaddingScheda));
    }

    // One window's row from its top; returns where it ends.
    double disegnaRiga(QPainter& p, const RigaFinestraUsoIA& r, double x, double y) const
    {
        const double alto = altezzaTitolo();
        p.setFont(carattere(11, QFont::Medium));
        p.setPen(ColoriUsoIA::primario());
        p.drawText(QRectF(x, y, kLarghezzaInterna, alto), Qt::AlignLeft | Qt::AlignVCenter, r.titolo);
        const QFont fontPercento = carattere(11, QFont::DemiBold);
        const QString testo = percento(r.percentuale);
        p.setPen(coloreFascia(r.fascia));
        disegnaPercento(p, x + kLarghezzaInterna - larghezzaPercento(fontPercento, testo), y + alto / 2, fontPercento,
                        testo);
        y += alto + 3;
        const QRectF barra(x, y, kLarghezzaInterna, 4);
        riempiCapsula(p, barra, ColoriUsoIA::primario(0.12));
        const double quota = std::clamp(static_cast<double>(r.percentuale) / 100.0, 0.0, 1.0);
        if (quota > 0)
            riempiCapsula(p, QRectF(barra.topLeft(), QSizeF(barra.width() * quota, barra.height())),
                          coloreFascia(r.fascia));
        y += 4;
        if (r.azzeramento) {
            y += 3;
            const QRectF zona = zonaAzzeramento(*r.azzeramento);
            p.setFont(carattere(9, QFont::Medium));
            p.setPen(ColoriUsoIA::secondario());
            p.drawText(QRectF(x, y, kLarghezzaInterna, zona.height()), Qt::TextWordWrap | Qt::AlignLeft,
                       *r.azzeramento);
            y += zona.height();
        }
        return y;
    }

    FornitoreIA fornitore_;
    ContenutoSchedaUsoIA contenuto_;
    double valore_ = 0;
};

UsoIAAnelloView::UsoIAAnelloView(const LetturaUsoIA& lettura, bool attuale, Clock& clock, QWidget* parent,
                                 QWidget* strato)
    : QWidget(parent), lettura_(lettura), attuale_(attuale), clock_(clock), strato_(strato)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    aggiornaDimensione();
}

UsoIAAnelloView::~UsoIAAnelloView()
{
    togliScheda();
}

// Later, not at once: the card is a sibling and the layer may be walking its
// children (hiding or deleting them) right now.
void UsoIAAnelloView::togliScheda()
{
    if (!scheda_)
        return;
    seguiAntenati(false);
    scheda_->hide();
    scheda_->deleteLater();
    scheda_ = nullptr;
}

void UsoIAAnelloView::seguiAntenati(bool segui)
{
    for (QWidget* w = parentWidget(); w && w != strato(); w = w->parentWidget()) {
        if (segui)
            w->installEventFilter(this);
        else
            w->removeEventFilter(this);
    }
}

bool UsoIAAnelloView::eventFilter(QObject* o, QEvent* e)
{
    if (scheda_ && e->type() == QEvent::Move)
        collocaScheda();
    return QWidget::eventFilter(o, e);
}

void UsoIAAnelloView::imposta(const LetturaUsoIA& lettura, bool attuale)
{
    if (lettura == lettura_ && attuale == attuale_)
        return;
    lettura_ = lettura;
    attuale_ = attuale;
    aggiornaDimensione();
    if (!finestraPrincipale())
        impostaSopra(false);
    if (scheda_)
        collocaScheda();
    update();
}

std::optional<RegoleUsoIA::Scelta> UsoIAAnelloView::finestraPrincipale() const
{
    return RegoleUsoIA::limiteDaMostrare(lettura_);
}

QString UsoIAAnelloView::testoPercentuale() const
{
    const auto scelta = finestraPrincipale();
    return scelta ? percento(scelta->limite.percentuale) : QString();
}

QWidget* UsoIAAnelloView::scheda() const
{
    return scheda_.data();
}

QRect UsoIAAnelloView::rettangoloScheda() const
{
    return scheda_ ? scheda_->rettangolo().translated(scheda_->pos()) : QRect();
}

QSize UsoIAAnelloView::sizeHint() const
{
    const QString testo = testoPercentuale();
    if (testo.isEmpty())
        return QSize(0, 0);
    const QFont f = carattere(11, QFont::DemiBold);
    const double alto = std::max<double>(kDiametroAnello, QFontMetricsF(f).height());
    const double largo = 3 + kDiametroAnello + 4 + larghezzaPercento(f, testo) + 7;
    return QSize(static_cast<int>(std::ceil(largo)), static_cast<int>(std::ceil(alto + 4)));
}

void UsoIAAnelloView::aggiornaDimensione()
{
    setFixedSize(sizeHint());
}

void UsoIAAnelloView::paintEvent(QPaintEvent*)
{
    const auto scelta = finestraPrincipale();
    if (!scelta)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setOpacity(attuale_ ? 1.0 : 0.55);
    riempiCapsula(p, rect(), ColoriUsoIA::primario(0.08 + 0.06 * std::clamp(valore_, 0.0, 1.0)));
    const QRectF anello(3, (height() - kDiametroAnello) / 2.0, kDiametroAnello, kDiametroAnello);
    AnelloUsoIA::disegna(p, anello, scelta->limite, 2);
    SimboloFornitore::disegna(p, QRectF(anello.center() - QPointF(5, 5), QSizeF(10, 10)), lettura_.fornitore);
    const FasciaUso fascia = fasciaUso(scelta->limite);
    p.setPen(fascia == FasciaUso::normale ? ColoriUsoIA::secondario() : coloreFascia(fascia));
    disegnaPercento(p, anello.right() + 4, height() / 2.0, carattere(11, QFont::DemiBold),
                    percento(scelta->limite.percentuale));
}

void UsoIAAnelloView::segui(QPointF posizione)
{
    // Only the capsule counts: its rounded ends are outside.
    QPainterPath capsula;
    const double raggio = height() / 2.0;
    capsula.addRoundedRect(QRectF(rect()), raggio, raggio);
    impostaSopra(finestraPrincipale() && capsula.contains(posizione));
}

void UsoIAAnelloView::enterEvent(QEnterEvent* e)
{
    segui(e->position());
}

void UsoIAAnelloView::mouseMoveEvent(QMouseEvent* e)
{
    segui(e->position());
}

void UsoIAAnelloView::leaveEvent(QEvent*)
{
    impostaSopra(false);
}

void UsoIAAnelloView::moveEvent(QMoveEvent*)
{
    if (scheda_)
        collocaScheda();
}

void UsoIAAnelloView::hideEvent(QHideEvent*)
{
    // Hidden with the panel: the next showing starts away from the pill.
    sopra_ = false;
    valore_ = velocita_ = 0;
    animazione_ = {};
    togliScheda();
}

QWidget* UsoIAAnelloView::strato() const
{
    return strato_ ? strato_.data() : window();
}

void UsoIAAnelloView::impostaSopra(bool sopra)
{
    if (sopra == sopra_)
        return;
    sopra_ = sopra;
    if (sopra_ && !scheda_) {
        scheda_ = new SchedaUsoIA(lettura_.fornitore, strato());
        collocaScheda();
        seguiAntenati(true);
        scheda_->show();
        scheda_->raise();
    }
    if (!animazione_) {
        ultimoPasso_ = clock_.monotonic();
        animazione_ = clock_.repeating(kPassoAnimazione, [this] { passo(); });
    }
}

// One step of the hover spring; it stops once settled.
void UsoIAAnelloView::passo()
{
    const double adesso = clock_.monotonic();
    double dt = std::min(adesso - ultimoPasso_, 0.5);
    ultimoPasso_ = adesso;
    const double meta = sopra_ ? 1.0 : 0.0;
    const double omega = 2 * std::numbers::pi / kRisposta;
    while (dt > 1e-9) {
        const double h = std::min(dt, 1.0 / 240.0);
        velocita_ += (-omega * omega * (valore_ - meta) - 2 * kSmorzamento * omega * velocita_) * h;
        valore_ += velocita_ * h;
        dt -= h;
    }
    if (std::abs(valore_ - meta) < 1e-3 && std::abs(velocita_) < 1e-2) {
        valore_ = meta;
        velocita_ = 0;
        animazione_ = {};
        if (!sopra_)
            togliScheda();
    }
    if (scheda_)
        collocaScheda();
    update();
}

void UsoIAAnelloView::collocaScheda()
{
    scheda_->imposta(lettura_.fornitore, contenutoSchedaUsoIA(lettura_, attuale_, clock_.now()), valore_);
    QWidget* s = strato();
    const QPoint cima = s == this ? QPoint() : mapTo(s, QPoint());
    // Trailing edges aligned, hanging 28 below the pill's top.
    const QPoint angolo(cima.x() + width() - kLarghezzaScheda, cima.y() + kDiscesaScheda);
    scheda_->move(angolo - QPoint(kMarginiOmbra.left(), kMarginiOmbra.top()));
}
