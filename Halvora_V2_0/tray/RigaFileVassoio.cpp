#include "RigaFileVassoio.h"

#include "Colori.h"
#include "NotificheApp.h"
#include "TrayDisegno.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal kMargine = 4;    // room around the card for its lift and shadow
constexpr qreal kBordoX = 12;
constexpr qreal kCerchioSelezione = 20;
constexpr qreal kIcona = 24;
constexpr qreal kSpazio = 8;
constexpr qreal kBottone = 30;  // a 14-point symbol with 8 points around it
constexpr qreal kIngrandimento = 1.08;
constexpr qreal kSollevamento = 1.012;
} // namespace

RigaFileVassoio::RigaFileVassoio(const QUrl& file, QWidget* parent)
    : QWidget(parent), file_(file), icona_(TrayDisegno::iconaFile(file.toLocalFile()))
{
    setMouseTracking(true);
    setFixedHeight(kAltezza);
    setAttribute(Qt::WA_Hover);
}

void RigaFileVassoio::setStato(const Stato& stato)
{
    if (stato == stato_)
        return;
    stato_ = stato;
    update();
}

QRectF RigaFileVassoio::scheda() const { return QRectF(rect()).adjusted(kMargine, kMargine, -kMargine, -kMargine); }

QRectF RigaFileVassoio::rettangolo(Parte parte) const
{
    const QRectF s = scheda();
    const qreal cy = s.center().y();
    const QRectF elimina(s.right() - kBordoX - kBottone, cy - kBottone / 2, kBottone, kBottone);
    switch (parte) {
    case Parte::selezione:
        return {s.left() + kBordoX, cy - kCerchioSelezione / 2, kCerchioSelezione, kCerchioSelezione};
    case Parte::invio:
        return stato_.invioDisponibile ? elimina.translated(-kBottone - kSpazio, 0) : QRectF();
    case Parte::elimina:
        return elimina;
    case Parte::nessuna:
        break;
    }
    return {};
}

RigaFileVassoio::Parte RigaFileVassoio::parteIn(const QPointF& punto) const
{
    // The buttons answer on their circle only.
    for (Parte parte : {Parte::selezione, Parte::invio, Parte::elimina}) {
        const QRectF r = rettangolo(parte);
        if (!r.isEmpty() && QLineF(r.center(), punto).length() <= r.width() / 2)
            return parte;
    }
    return Parte::nessuna;
}

QString RigaFileVassoio::aiuto(const QPointF& punto) const
{
    switch (parteIn(punto)) {
    case Parte::selezione:
        return stato_.selezionata ? tr("Deseleziona") : tr("Seleziona");
    case Parte::invio:
        return tr("Invia con AirDrop");
    default:
        return {};
    }
}

void RigaFileVassoio::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF s = scheda();
    if (stato_.sottoIlMouse) {
        p.translate(s.center());
        p.scale(kSollevamento, kSollevamento);
        p.translate(-s.center());
        // A soft shadow 3 points down, built from a few widening layers.
        for (int i = 1; i <= 4; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, int(255 * 0.18 / 4)));
            p.drawRoundedRect(s.adjusted(-i, -i + 3, i, i + 3), 8 + i, 8 + i);
        }
    }
    QColor fondo = stato_.selezionata ? TrayDisegno::conOpacita(Colori::blu(), 0.16)
                                      : QColor(255, 255, 255, int(255 * (stato_.sottoIlMouse ? 0.16 : 0.10)));
    p.setPen(Qt::NoPen);
    p.setBrush(fondo);
    p.drawRoundedRect(s, 8, 8);

    const QRectF sel = rettangolo(Parte::selezione);
    TrayDisegno::simbolo(p, stato_.selezionata ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"), sel,
                         15, stato_.selezionata ? Colori::accento() : TrayDisegno::secondario(0.45));

    const QRectF icona(sel.right() + kSpazio, s.center().y() - kIcona / 2, kIcona, kIcona);
    icona_.paint(&p, icona.toRect());

    auto bottone = [&](Parte parte, const QString& nome, const QColor& colore, qreal opacitaSimbolo,
                       qreal opacitaFondo, bool sopra) {
        QRectF r = rettangolo(parte);
        if (r.isEmpty())
            return;
        if (sopra) {
            const QPointF c = r.center();
            r = QRectF(0, 0, r.width() * kIngrandimento, r.height() * kIngrandimento);
            r.moveCenter(c);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(TrayDisegno::conOpacita(colore, opacitaFondo));
        p.drawEllipse(r);
        TrayDisegno::simbolo(p, nome, r, int(14 * (sopra ? kIngrandimento : 1.0)),
                             TrayDisegno::conOpacita(colore, opacitaSimbolo));
    };
    bottone(Parte::invio, QStringLiteral("square.and.arrow.up"), Colori::blu(), 0.9, 0.12, stato_.hoverInvio);
    bottone(Parte::elimina, QStringLiteral("trash"), Colori::rosso(), 0.7, 0.1, stato_.hoverElimina);

    const qreal inizioNome = icona.right() + kSpazio;
    const QRectF primoBottone =
        stato_.invioDisponibile ? rettangolo(Parte::invio) : rettangolo(Parte::elimina);
    const QRectF nome(inizioNome, s.top(), primoBottone.left() - kSpazio - inizioNome, s.height());
    QFont f = font();
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::white);
    const QString testo = QFontMetrics(f).elidedText(file_.fileName(), Qt::ElideMiddle, int(nome.width()));
    p.drawText(nome, Qt::AlignVCenter | Qt::AlignLeft, testo);
}

bool RigaFileVassoio::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        TrayDisegno::mostraAiuto(this, h, aiuto(h->pos()));
        return true;
    }
    return QWidget::event(e);
}

void RigaFileVassoio::enterEvent(QEnterEvent*) { emit puntatoreEntrato(file_); }

void RigaFileVassoio::leaveEvent(QEvent*)
{
    aggiornaHover(Parte::nessuna);
    emit puntatoreUscito(file_);
}

void RigaFileVassoio::aggiornaHover(Parte parte)
{
    if (parte == hover_)
        return;
    const Parte prima = hover_;
    hover_ = parte;
    if (prima == Parte::invio)
        emit hoverInvioCambiato(file_, false);
    if (prima == Parte::elimina)
        emit hoverEliminaCambiato(file_, false);
    if (parte == Parte::invio)
        emit hoverInvioCambiato(file_, true);
    if (parte == Parte::elimina)
        emit hoverEliminaCambiato(file_, true);
}

void RigaFileVassoio::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    premuta_ = parteIn(e->position());
    if (premuta_ == Parte::nessuna)
        inizioTrascinamento_ = e->position().toPoint();
}

void RigaFileVassoio::mouseMoveEvent(QMouseEvent* e)
{
    aggiornaHover(parteIn(e->position()));
    if (inizioTrascinamento_ && (e->buttons() & Qt::LeftButton)
        && (e->position().toPoint() - *inizioTrascinamento_).manhattanLength() >= QApplication::startDragDistance()) {
        inizioTrascinamento_.reset();
        trascina();
    }
}

void RigaFileVassoio::mouseReleaseEvent(QMouseEvent* e)
{
    inizioTrascinamento_.reset();
    const Parte premuta = std::exchange(premuta_, Parte::nessuna);
    if (e->button() != Qt::LeftButton || premuta == Parte::nessuna || parteIn(e->position()) != premuta)
        return;
    switch (premuta) {
    case Parte::selezione:
        emit selezioneAlternata(file_);
        break;
    case Parte::invio:
        emit invioChiesto(file_);
        break;
    case Parte::elimina:
        emit eliminazioneChiesta(file_);
        break;
    case Parte::nessuna:
        break;
    }
}

// The file goes out as a reference to the tray copy, under its own name;
// the shell is told first so it can watch the mouse buttons.
void RigaFileVassoio::trascina()
{
    emit NotificheApp::shared().trascinamentoAvviato();
    auto* drag = new QDrag(this);
    auto* dati = new QMimeData;
    dati->setUrls({file_});
    drag->setMimeData(dati);
    drag->setPixmap(icona_.pixmap(32, 32));
    drag->exec(Qt::CopyAction);
}
