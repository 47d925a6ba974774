#include "ElencoAgenda.h"

#include "Colori.h"
#include "StileAgenda.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

using namespace StileAgenda;

namespace {

constexpr int kBordo = 4;       // above the first row and below the last
constexpr int kSpazio = 8;      // between rows
constexpr int kPadOriz = 10;
constexpr int kPadVert = 8;
constexpr int kRaggioRiga = 12;
constexpr int kLatoCerchio = 14;

QFont fontTitoloImpegno() { return carattere(13, QFont::DemiBold); }
QFont fontTitoloPromemoria() { return carattere(13, QFont::Medium); }
QFont fontOrario() { return mono(10); }
QFont fontLuogo() { return carattere(10); }
QFont fontBadge() { return carattere(9, QFont::Bold); }

int altezzaRiga(const QFont& f) { return QFontMetrics(f).height(); }

} // namespace

ElencoAgenda::ElencoAgenda(std::function<QDateTime()> ora, QWidget* parent) : QWidget(parent), ora_(std::move(ora))
{
    setMouseTracking(true);
}

void ElencoAgenda::imposta(const QList<Impegno>& impegni, const QList<Promemoria>& promemoria)
{
    impegni_ = impegni;
    promemoria_ = promemoria;
    scorri(0);
    update();
}

void ElencoAgenda::impostaErrori(const QHash<QString, QString>& errori)
{
    if (errori == errori_)
        return;
    errori_ = errori;
    scorri(0);
    update();
}

bool ElencoAgenda::inCorso(const Impegno& e, const QDateTime& ora)
{
    return !e.annullato && e.inizio <= ora && e.fine > ora;
}

bool ElencoAgenda::scaduto(const Promemoria& p, const QDateTime& ora) { return p.scadenza && *p.scadenza < ora; }

std::optional<QString> ElencoAgenda::testoScadenza(const Promemoria& p, const QDateTime& ora)
{
    std::optional<QString> testo = p.scadenzaTesto(ora);
    if (testo && scaduto(p, ora))
        testo = tr("scaduto · %1").arg(*testo);
    return testo;
}

int ElencoAgenda::altezzaImpegno() const
{
    return kPadVert + altezzaRiga(fontTitoloImpegno()) + 2 + altezzaRiga(fontOrario()) + kPadVert;
}

int ElencoAgenda::altezzaPromemoria(const Promemoria& p) const
{
    int testo = altezzaRiga(fontTitoloPromemoria());
    // The line under the title holds the due text and the repeat mark; without either it is not there.
    if (p.scadenza || p.siRipete)
        testo += 2 + altezzaRiga(fontOrario());
    if (errori_.contains(p.id))
        testo += 2 + altezzaRiga(fontLuogo());
    return kPadVert + std::max(kLatoCerchio, testo) + kPadVert;
}

QRect ElencoAgenda::rettangoloImpegno(int i) const
{
    const int h = altezzaImpegno();
    return QRect(0, kBordo + i * (h + kSpazio) - scorrimento_, width(), h);
}

QRect ElencoAgenda::rettangoloPromemoria(int i) const
{
    int y = kBordo + int(impegni_.size()) * (altezzaImpegno() + kSpazio);
    for (int k = 0; k < i; ++k)
        y += altezzaPromemoria(promemoria_.at(k)) + kSpazio;
    return QRect(0, y - scorrimento_, width(), altezzaPromemoria(promemoria_.at(i)));
}

QRect ElencoAgenda::cerchioPromemoria(int i) const
{
    const QRect r = rettangoloPromemoria(i);
    return QRect(r.left() + kPadOriz - 2, r.center().y() - kLatoCerchio / 2 - 2, kLatoCerchio + 4, kLatoCerchio + 4);
}

int ElencoAgenda::altezzaContenuto() const
{
    if (impegni_.isEmpty() && promemoria_.isEmpty())
        return 2 * kBordo;
    const QRect ultimo = promemoria_.isEmpty() ? rettangoloImpegno(int(impegni_.size()) - 1)
                                               : rettangoloPromemoria(int(promemoria_.size()) - 1);
    return ultimo.bottom() + 1 + scorrimento_ + kBordo;
}

void ElencoAgenda::scorri(int pixel)
{
    const int massimo = std::max(0, altezzaContenuto() - height());
    const int nuovo = std::clamp(scorrimento_ + pixel, 0, massimo);
    if (nuovo == scorrimento_)
        return;
    scorrimento_ = nuovo;
    update();
}

void ElencoAgenda::resizeEvent(QResizeEvent*) { scorri(0); }

void ElencoAgenda::wheelEvent(QWheelEvent* e)
{
    const QPoint passo = e->pixelDelta().isNull() ? e->angleDelta() / 4 : e->pixelDelta();
    scorri(-passo.y());
    e->accept();
}

int ElencoAgenda::promemoriaSotto(QPoint punto) const
{
    for (int i = 0; i < promemoria_.size(); ++i)
        if (cerchioPromemoria(i).contains(punto))
            return i;
    return -1;
}

void ElencoAgenda::mousePressEvent(QMouseEvent* e)
{
    const int i = e->button() == Qt::LeftButton ? promemoriaSotto(e->position().toPoint()) : -1;
    if (i < 0)
        return QWidget::mousePressEvent(e);
    emit completaRichiesto(promemoria_.at(i));
}

void ElencoAgenda::mouseMoveEvent(QMouseEvent* e)
{
    setCursor(promemoriaSotto(e->position().toPoint()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

bool ElencoAgenda::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* aiuto = static_cast<QHelpEvent*>(e);
        if (promemoriaSotto(aiuto->pos()) >= 0)
            QToolTip::showText(aiuto->globalPos(), tr("Segna come completato"), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

void ElencoAgenda::paintEvent(QPaintEvent*)
{
    // Drawn on a layer first, so the fade at both ends takes the rows' alpha away.
    const qreal dpr = devicePixelRatioF();
    QImage strato(size() * dpr, QImage::Format_ARGB32_Premultiplied);
    strato.setDevicePixelRatio(dpr);
    strato.fill(Qt::transparent);
    {
        QPainter p(&strato);
        p.setRenderHint(QPainter::Antialiasing);
        const QDateTime ora = ora_();
        for (int i = 0; i < impegni_.size(); ++i) {
            const QRect r = rettangoloImpegno(i);
            if (r.bottom() >= 0 && r.top() < height())
                disegnaImpegno(p, impegni_.at(i), r, ora);
        }
        for (int i = 0; i < promemoria_.size(); ++i) {
            const QRect r = rettangoloPromemoria(i);
            if (r.bottom() >= 0 && r.top() < height())
                disegnaPromemoria(p, promemoria_.at(i), r, ora);
        }
        QLinearGradient sfumatura(0, 0, 0, height());
        sfumatura.setColorAt(0, Qt::transparent);
        sfumatura.setColorAt(0.05, Qt::black);
        sfumatura.setColorAt(0.93, Qt::black);
        sfumatura.setColorAt(1, Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(rect(), sfumatura);
    }
    QPainter(this).drawImage(0, 0, strato);
}

void ElencoAgenda::disegnaImpegno(QPainter& p, const Impegno& e, const QRect& r, const QDateTime& ora) const
{
    riempiArrotondato(p, r, kRaggioRiga, velo());
    const QRect dentro = r.adjusted(kPadOriz, kPadVert, -kPadOriz, -kPadVert);
    riempiArrotondato(p, QRectF(dentro.left(), dentro.top(), 3, dentro.height()), 2, e.colore);

    int destra = dentro.right() + 1;
    if (inCorso(e, ora)) {
        const QString badge = tr("in corso");
        const QFontMetrics fm(fontBadge());
        const QRect capsula(destra - fm.horizontalAdvance(badge) - 12, dentro.top(), fm.horizontalAdvance(badge) + 12,
                            fm.height() + 4);
        riempiCapsula(p, capsula, conOpacita(Colori::indaco(), 0.15));
        p.setFont(fontBadge());
        p.setPen(AspettoScheda::leggibileSulPannello(Colori::indaco(), 0.08, conOpacita(Colori::indaco(), 0.15)));
        p.drawText(capsula, Qt::AlignCenter, badge);
        destra = capsula.left() - 10;
    }

    const int x = dentro.left() + 3 + 10;
    const int larghezza = std::max(0, destra - x);
    const int hTitolo = altezzaRiga(fontTitoloImpegno());
    // A called-off event keeps its row, struck through and dimmed, so the
    // user sees it will not take place.
    QFont titolo = fontTitoloImpegno();
    titolo.setStrikeOut(e.annullato);
    riga(p, QRect(x, dentro.top(), larghezza, hTitolo), e.titolo, titolo, e.annullato ? secondario() : primario());

    const QRect sotto(x, dentro.top() + hTitolo + 2, larghezza, altezzaRiga(fontOrario()));
    const QString orario = e.orario();
    p.setFont(fontOrario());
    p.setPen(secondario());
    p.drawText(sotto, Qt::AlignLeft | Qt::AlignVCenter, orario);
    if (e.luogo) {
        const int dopo = QFontMetrics(fontOrario()).horizontalAdvance(orario) + 5;
        riga(p, sotto.adjusted(dopo, 0, 0, 0), tr("· %1").arg(*e.luogo), fontLuogo(), terziario());
    }
}

void ElencoAgenda::disegnaPromemoria(QPainter& p, const Promemoria& m, const QRect& r, const QDateTime& ora) const
{
    riempiArrotondato(p, r, kRaggioRiga, velo());
    const QRect dentro = r.adjusted(kPadOriz, kPadVert, -kPadOriz, -kPadVert);
    const bool inRitardo = scaduto(m, ora);
    const QColor colore = inRitardo ? Colori::arancione() : secondario();
    disegnaSimbolo(p, QStringLiteral("circle"), kLatoCerchio, colore,
                   QPointF(dentro.left() + kLatoCerchio / 2.0, dentro.center().y() + 0.5));

    const int x = dentro.left() + kLatoCerchio + 10;
    const int larghezza = std::max(0, dentro.right() + 1 - x);
    const int hTitolo = altezzaRiga(fontTitoloPromemoria());
    const bool riga2 = m.scadenza || m.siRipete;
    const QString errore = errori_.value(m.id);
    const int hErrore = errore.isEmpty() ? 0 : 2 + altezzaRiga(fontLuogo());
    const int hTesto = hTitolo + (riga2 ? 2 + altezzaRiga(fontOrario()) : 0) + hErrore;
    const int cima = dentro.center().y() + 1 - hTesto / 2;
    riga(p, QRect(x, cima, larghezza, hTitolo), m.titolo, fontTitoloPromemoria(), primario());
    if (!errore.isEmpty()) {
        // Last line: why the reminder is still here after the user's action.
        const QRect r(x, cima + hTesto - hErrore + 2, larghezza, hErrore - 2);
        disegnaSimbolo(p, QStringLiteral("exclamationmark.triangle.fill"), 9, Colori::arancione(),
                       QPointF(r.left() + 4.5, r.center().y() + 0.5));
        riga(p, r.adjusted(13, 0, 0, 0), errore, fontLuogo(), Colori::arancione());
    }
    if (!riga2)
        return;

    const QRect sotto(x, cima + hTitolo + 2, larghezza, altezzaRiga(fontOrario()));
    int xRipete = sotto.left();
    if (const std::optional<QString> testo = testoScadenza(m, ora)) {
        p.setFont(fontOrario());
        p.setPen(colore);
        p.drawText(sotto, Qt::AlignLeft | Qt::AlignVCenter, *testo);
        xRipete += QFontMetrics(fontOrario()).horizontalAdvance(*testo) + 4;
    }
    if (m.siRipete)
        disegnaSimbolo(p, QStringLiteral("repeat"), 8, terziario(), QPointF(xRipete + 4, sotto.center().y() + 0.5));
}
