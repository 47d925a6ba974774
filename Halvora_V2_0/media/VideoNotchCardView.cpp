#include "VideoNotchCardView.h"

#include "ProtocolloVideo.h"
#include "StratiPulsanti.h"
#include "VideoNotchManager.h"
#include "X11Finestra.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>
#include <cmath>

using SovrapposizioneVideo::Pannello;
using SovrapposizioneVideo::Zona;

namespace {
constexpr double kRaggio = 14;
}

double VideoNotchCardView::larghezzaMostrata(double salvata)
{
    return std::clamp(std::isfinite(salvata) ? salvata : kLarghezzaPredefinita, kMinima, kMassima);
}

QSizeF VideoNotchCardView::dimensione(double larghezza)
{
    const double l = larghezzaMostrata(larghezza);
    return {l, l * 0.5625};
}

double VideoNotchCardView::propostaManiglia(const QPointF& inizio, double w0, const QPointF& ora)
{
    const double perAltezza = (ora.y() - inizio.y()) * 16.0 / 9.0 + w0;
    const double perLarghezza = (ora.x() - inizio.x()) * 2.0 + w0;
    return std::abs(perAltezza - w0) <= std::abs(perLarghezza - w0) ? perLarghezza : perAltezza;
}

VideoNotchCardView::VideoNotchCardView(VideoNotchManager& manager, double larghezzaSalvata,
                                       std::function<void(double)> salva, QWidget* parent)
    : QWidget(parent), m_(manager), player_(manager.player()), salvata_(larghezzaSalvata), salva_(std::move(salva))
{
    setAttribute(Qt::WA_TranslucentBackground);
    connect(&m_, &VideoNotchManager::statoChanged, this, &VideoNotchCardView::aggiornaVista);
    connect(&m_, &VideoNotchManager::inAttesaDelSilenzioChanged, this, &VideoNotchCardView::aggiornaVista);
    if (player_) {
        connect(player_, &PlayerTacca::finestraChanged, this, [this] {
            // A new window, or none: the one embedded so far is gone.
            if (contenitore_)
                lascia();
            if (player_ && player_->finestra())
                ospita();
        });
        connect(player_, &PlayerTacca::azione, this, [this](Zona z) {
            if (z == Zona::riporta)
                m_.riportaNelBrowser();
            else if (z == Zona::chiudi)
                m_.chiudi();
        });
        connect(player_, &PlayerTacca::maniglia, this, &VideoNotchCardView::trascina);
    }
    giro_.setInterval(80);
    connect(&giro_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    orologio_.start();
    applicaLarghezza();
    aggiornaVista();
    if (player_ && player_->finestra())
        ospita();
}

VideoNotchCardView::~VideoNotchCardView()
{
    lascia();
}

QRectF VideoNotchCardView::rettangoloScheda() const
{
    return QRectF(QPointF(kMargini.left(), kMargini.top()), dimensione(larghezza()));
}

double VideoNotchCardView::larghezza() const
{
    return larghezzaMostrata(inTrascinamento_.value_or(salvata_));
}

SovrapposizioneVideo::Vista VideoNotchCardView::vista() const
{
    using Tipo = VideoNotchManager::Stato::Tipo;
    const auto& s = m_.stato();
    SovrapposizioneVideo::Vista v;
    v.aperto = m_.videoAperto();
    v.inPausa = s.tipo == Tipo::inPausa;
    if (s.tipo == Tipo::attesaPermesso) {
        v.pannello = Pannello::permesso;
        v.testo = tr("Consenti l'accesso a %1 nella finestra di sistema").arg(s.testo);
    } else if (s.tipo == Tipo::errore) {
        v.pannello = Pannello::errore;
        v.testo = s.testo; // already the manager's text
    } else {
        v.testo = tr("Apro il video…");
    }
    if (v.aperto && m_.inAttesaDelSilenzio())
        v.avviso = tr("Metti in pausa %1 per sentirlo qui").arg(m_.nomeBrowserOrigine());
    v.aiutoRiproduci = tr("Riproduci");
    v.aiutoPausa = tr("Pausa");
    v.aiutoTorna = tr("Torna al browser");
    v.aiutoChiudi = tr("Chiudi");
    // Texts the helper would refuse are cut here.
    for (QString* t : {&v.testo, &v.avviso})
        t->truncate(ProtocolloVideo::kMassimoTesto);
    return v;
}

void VideoNotchCardView::aggiornaVista()
{
    const auto v = vista();
    if (player_ && contenitore_)
        player_->mostraVista(v);
    const bool gira = !contenitore_ && !v.aperto && v.pannello == Pannello::caricamento;
    if (gira && !giro_.isActive())
        giro_.start();
    else if (!gira)
        giro_.stop();
    update();
}

void VideoNotchCardView::ospita()
{
    if (contenitore_ || !player_ || !player_->finestra())
        return;
    QWindow* w = QWindow::fromWinId(WId(*player_->finestra()));
    if (!w)
        return;
    finestra_ = w;
    contenitore_ = QWidget::createWindowContainer(w, this);
    contenitore_->setGeometry(rettangoloScheda().adjusted(1, 1, -1, -1).toAlignedRect());
    contenitore_->show();
    mostraIncorporata();
    aggiornaVista();
}

void VideoNotchCardView::mostraIncorporata()
{
    // The container takes the window in only once it shows (a card enters
    // hidden behind its transition). Told to show before the reparenting
    // reached the server, the helper would map a top-level window that the
    // window manager frames and keeps, under the panel.
    if (!contenitore_ || !contenitore_->isVisible() || !player_)
        return;
    X11Finestra::sincronizza();
    player_->mostraFinestra();
}

void VideoNotchCardView::showEvent(QShowEvent*)
{
    mostraIncorporata();
}

void VideoNotchCardView::lascia()
{
    // The player's window outlives the card (another card embeds it): it
    // leaves unmapped for the root window before its container goes.
    if (finestra_) {
        finestra_->hide();
        finestra_->setParent(nullptr);
    }
    delete contenitore_;
    finestra_ = nullptr;
    aggiornaVista();
}

void VideoNotchCardView::applicaLarghezza()
{
    const QSizeF d = dimensione(larghezza());
    setFixedSize(QSizeF(d.width() + kMargini.left() + kMargini.right(), d.height() + kMargini.top() + kMargini.bottom())
                     .toSize());
    if (contenitore_)
        contenitore_->setGeometry(rettangoloScheda().adjusted(1, 1, -1, -1).toAlignedRect());
    ombra_ = {};
    update();
    emit dimensioneChanged();
}

void VideoNotchCardView::trascina(PlayerTacca::Fase fase, QPointF punto)
{
    switch (fase) {
    case PlayerTacca::Fase::inizio:
        inizio_ = std::make_pair(punto, larghezza());
        return;
    case PlayerTacca::Fase::sposta:
        if (!inizio_)
            return;
        inTrascinamento_ = std::clamp(propostaManiglia(inizio_->first, inizio_->second, punto), kMinima, kMassima);
        applicaLarghezza();
        return;
    case PlayerTacca::Fase::fine:
        inizio_.reset();
        if (inTrascinamento_) {
            salvata_ = *inTrascinamento_;
            if (salva_)
                salva_(salvata_);
        }
        inTrascinamento_.reset();
        applicaLarghezza();
        return;
    }
}

void VideoNotchCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF c = rettangoloScheda();
    QPainterPath forma;
    forma.addRoundedRect(c, kRaggio, kRaggio);
    if (ombra_.size() != size())
        ombra_ = ombraSfocata(forma.translated(0, 6), size(), 14, QColor::fromRgbF(0, 0, 0, 0.35f));
    p.drawImage(0, 0, ombra_);
    p.fillPath(forma, SovrapposizioneVideo::fondo());
    if (!contenitore_) {
        // No page window: the card draws its layers itself.
        p.save();
        p.setClipPath(forma);
        p.translate(c.topLeft());
        SovrapposizioneVideo::disegna(p, c.size(), vista(), {1, 0}, orologio_.elapsed() / 1000.0);
        p.restore();
    }
    QPainterPath bordo;
    bordo.addRoundedRect(c.adjusted(0.5, 0.5, -0.5, -0.5), kRaggio - 0.5, kRaggio - 0.5);
    p.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.08f), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bordo);
}

void VideoNotchCardView::mousePressEvent(QMouseEvent* e)
{
    if (contenitore_ || e->button() != Qt::LeftButton)
        return;
    const QRectF c = rettangoloScheda();
    if (SovrapposizioneVideo::zona(e->position() - c.topLeft(), c.size(), vista()) == Zona::chiudi)
        m_.chiudi();
}
