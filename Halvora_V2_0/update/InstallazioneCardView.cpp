#include "InstallazioneCardView.h"

#include "Colori.h"
#include "Installazione.h"
#include "SchedaChiusa.h"
#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <cmath>

using AspettoScheda::carattere;
using Tipo = InstallazioneCardView::Fase::Tipo;

namespace {

constexpr double kRaggio = 16;
constexpr double kPadding = 12;
constexpr double kSpaziatura = 10;
constexpr double kFotogramma = 1.0 / 60;
// The spring every change of phase runs on.
constexpr double kRisposta = 0.35;
constexpr double kSmorzamento = 0.75;

QColor bianco(double opacita) { return AspettoScheda::primario(opacita); }

// Where a spring released at 0 towards 1 stands after `t` seconds.
double molla(double t)
{
    const double w = 2 * M_PI / kRisposta;
    const double wd = w * std::sqrt(1 - kSmorzamento * kSmorzamento);
    return 1 - std::exp(-kSmorzamento * w * t)
                   * (std::cos(wd * t) + kSmorzamento / std::sqrt(1 - kSmorzamento * kSmorzamento) * std::sin(wd * t));
}

// One line that shrinks down to `scala` of its size before it is cut.
void riga(QPainter& p, const QString& testo, const QRectF& dove, const QFont& f, const QColor& colore, double scala)
{
    const double larghezza = QFontMetricsF(f).horizontalAdvance(testo);
    const double s = larghezza > dove.width() ? std::max(scala, dove.width() / larghezza) : 1.0;
    p.save();
    p.translate(dove.left(), dove.center().y());
    p.scale(s, s);
    const QRectF r(0, -dove.height() / 2 / s, dove.width() / s, dove.height() / s);
    p.setFont(f);
    p.setPen(colore);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, QFontMetricsF(f).elidedText(testo, Qt::ElideRight, r.width()));
    p.restore();
}

// The white capsule with the phase's action, or a spinner while the copy runs.
class PulsanteAzione final : public QAbstractButton {
public:
    PulsanteAzione(Clock& clock, QWidget* parent) : QAbstractButton(parent), clock_(clock)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

    void imposta(const QString& etichetta, const QColor& colore)
    {
        setText(etichetta);
        colore_ = colore;
        const QFontMetricsF m(font());
        const double w = std::max(44.0, (etichetta.isEmpty() ? m.height() : m.horizontalAdvance(etichetta)) + 16);
        setFixedSize(QSizeF(w, m.height() + 8).toSize());
        giri_ = etichetta.isEmpty() && isVisible() ? clock_.repeating(kFotogramma, [this] { update(); }) : TimerHandle();
        update();
    }
    void ferma() { giri_.cancel(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        if (!text().isEmpty()) {
            p.setFont(font());
            p.setPen(isDown() ? AspettoScheda::conOpacita(colore_, 0.6) : colore_);
            p.drawText(r, Qt::AlignCenter, text());
            return;
        }
        // Twelve spokes, the brightest one turning once a second.
        const double lato = QFontMetricsF(font()).height() - 2;
        const double fase = std::fmod(clock_.monotonic(), 1.0) * 12;
        p.translate(r.center());
        for (int i = 0; i < 12; ++i) {
            const double eta = std::fmod(fase - i + 12, 12.0) / 12;
            p.setPen(QPen(AspettoScheda::conOpacita(colore_, 1 - 0.75 * eta), 1.6, Qt::SolidLine, Qt::RoundCap));
            const double a = i * M_PI / 6;
            p.drawLine(QPointF(std::sin(a), -std::cos(a)) * lato * 0.25, QPointF(std::sin(a), -std::cos(a)) * lato / 2);
        }
    }
    void showEvent(QShowEvent*) override { imposta(text(), colore_); }
    void hideEvent(QHideEvent*) override { ferma(); }

private:
    Clock& clock_;
    QColor colore_;
    TimerHandle giri_;
};

} // namespace

InstallazioneCardView::InstallazioneCardView(Installazione& installazione, std::function<void()> onChiudi,
                                             Clock& clock, QWidget* parent)
    : QWidget(parent), installazione_(installazione), clock_(clock), chiudi_(new PulsanteTondo(QStringLiteral("xmark"), 22, 9, Qt::white, bianco(0.22), this)),
      azione_(new PulsanteAzione(clock, this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(QSizeF(kDimensione.width() + kMargini.left() + kMargini.right(),
                        kDimensione.height() + kMargini.top() + kMargini.bottom())
                     .toSize());
    azione_->setFont(carattere(10, QFont::Bold));
    chiudi_->setToolTip(tr("Nascondi fino al prossimo avvio"));
    connect(chiudi_, &QAbstractButton::clicked, this, [f = std::move(onChiudi)] {
        if (f)
            f();
    });
    connect(azione_, &QAbstractButton::clicked, this, &InstallazioneCardView::azione);
    aggiornaPulsante();
}

InstallazioneCardView::~InstallazioneCardView() = default;

QRectF InstallazioneCardView::rettangoloScheda() const
{
    return QRectF(QPointF(kMargini.left(), kMargini.top()), kDimensione);
}

QString InstallazioneCardView::simbolo() const
{
    switch (fase_.tipo) {
    case Tipo::daAprire:
        return QStringLiteral("checkmark.circle.fill");
    case Tipo::fallita:
        return QStringLiteral("exclamationmark.triangle.fill");
    default:
        return QStringLiteral("arrow.down.app.fill");
    }
}

QColor InstallazioneCardView::colore() const
{
    switch (fase_.tipo) {
    case Tipo::daAprire:
        return Colori::verde();
    case Tipo::fallita:
        return Colori::arancione();
    default:
        return Colori::blu();
    }
}

QString InstallazioneCardView::titolo() const
{
    switch (fase_.tipo) {
    case Tipo::daFare:
        return tr("Installami in Applicazioni");
    case Tipo::inCorso:
        return tr("Installazione in corso…");
    case Tipo::daAprire:
        return tr("Fatto: sono in Applicazioni");
    case Tipo::fallita:
        return tr("Trascinami tu nella cartella");
    }
    return {};
}

QString InstallazioneCardView::sottotitolo() const
{
    switch (fase_.tipo) {
    case Tipo::daAprire:
        return tr("APRIMI DA LI' PER FINIRE");
    case Tipo::fallita:
        return tr("TE LA MOSTRO NEL FINDER");
    default:
        return tr("L'AVVIO AL LOGIN NON FUNZIONA DA QUI");
    }
}

QString InstallazioneCardView::etichettaAzione() const
{
    switch (fase_.tipo) {
    case Tipo::daFare:
        return tr("Installa");
    case Tipo::daAprire:
        return tr("Apri");
    case Tipo::fallita:
        return tr("Mostra");
    case Tipo::inCorso:
        break;
    }
    return {};
}

QString InstallazioneCardView::suggerimentoAzione() const
{
    switch (fase_.tipo) {
    case Tipo::daAprire:
        return tr("Apri la copia installata in Applicazioni");
    case Tipo::fallita:
        return fase_.messaggio;
    default:
        return tr("Copiami in Applicazioni e riavviami da li'");
    }
}

void InstallazioneCardView::azione()
{
    switch (fase_.tipo) {
    case Tipo::daFare: {
        impostaFase({Tipo::inCorso, {}});
        QPointer<InstallazioneCardView> guardia(this);
        installazione_.installIntoApplications([guardia](Installazione::Risultato r) {
            if (!guardia || r.esito == Installazione::Esito::nienteDaRiferire)
                return;
            guardia->impostaFase(r.esito == Installazione::Esito::fallita ? Fase{Tipo::fallita, r.messaggio}
                                                                           : Fase{Tipo::daAprire, {}});
        });
        break;
    }
    case Tipo::inCorso:
        break;
    case Tipo::daAprire:
        installazione_.apriCopiaInstallata();
        break;
    case Tipo::fallita:
        installazione_.revealInstalledCopy();
        break;
    }
}

void InstallazioneCardView::impostaFase(Fase f)
{
    if (f == fase_)
        return;
    if (isVisible()) {
        completaTransizione();
        prima_ = grab();
        inizioTransizione_ = clock_.monotonic();
        fotogrammi_ = clock_.repeating(kFotogramma, [this] {
            if (clock_.monotonic() - inizioTransizione_ >= 4 * kRisposta)
                completaTransizione();
            update();
        });
    }
    fase_ = std::move(f);
    aggiornaPulsante();
    update();
}

void InstallazioneCardView::completaTransizione()
{
    fotogrammi_.cancel();
    prima_ = QPixmap();
    update();
}

void InstallazioneCardView::aggiornaPulsante()
{
    auto* a = static_cast<PulsanteAzione*>(azione_);
    a->imposta(etichettaAzione(), colore());
    a->setEnabled(fase_.tipo != Tipo::inCorso);
    a->setToolTip(suggerimentoAzione());
    const QRectF c = rettangoloScheda();
    const double destra = c.right() - kPadding;
    a->move(QPointF(destra - a->width(), c.center().y() - a->height() / 2.0).toPoint());
    chiudi_->move(QPointF(a->x() - kSpaziatura - chiudi_->width(), c.center().y() - chiudi_->height() / 2.0).toPoint());
}

void InstallazioneCardView::hideEvent(QHideEvent*)
{
    completaTransizione();
}

void InstallazioneCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    disegnaContenuto(p);
    if (!prima_.isNull()) {
        p.setOpacity(std::clamp(1 - molla(clock_.monotonic() - inizioTransizione_), 0.0, 1.0));
        p.drawPixmap(0, 0, prima_);
    }
}

void InstallazioneCardView::disegnaContenuto(QPainter& p) const
{
    const QRectF c = rettangoloScheda();
    QPainterPath f;
    f.addRoundedRect(c, kRaggio, kRaggio);
    const QColor accento = colore();
    if (ombra_.size() != size() || coloreOmbra_ != accento) {
        ombra_ = ombraSfocata(f.translated(0, 8), size(), 20, AspettoScheda::conOpacita(accento, 0.35));
        coloreOmbra_ = accento;
    }
    p.drawImage(0, 0, ombra_);
    p.fillPath(f, AspettoScheda::conOpacita(accento, 0.88));
    p.setPen(QPen(bianco(0.3), 0.5));
    p.drawPath(f);

    const QRectF icona(c.left() + kPadding, c.center().y() - 13, 26, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(bianco(0.2));
    p.drawEllipse(icona);
    AspettoScheda::simbolo(p, simbolo(), icona, 14, Qt::white);

    const double x = icona.right() + kSpaziatura;
    const double larghezza = std::max(0.0, chiudi_->x() - kSpaziatura - x);
    const QFont t = carattere(12, QFont::DemiBold);
    const QFont s = AspettoScheda::didascalia();
    const double ht = QFontMetricsF(t).height(), hs = QFontMetricsF(s).height();
    const double y = c.center().y() - (ht + 1 + hs) / 2;
    riga(p, titolo(), QRectF(x, y, larghezza, ht), t, Qt::white, 0.9);
    riga(p, sottotitolo(), QRectF(x, y + ht + 1, larghezza, hs), s, bianco(0.75), 0.9);
}
