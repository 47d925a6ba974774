#include "MirrorView.h"

#include "CameraManager.h"
#include "Colori.h"
#include "Simboli.h"
#include "StileVoce.h"
#include "StratiPulsanti.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <QVideoSink>
#include <utility>

using namespace StileVoce;

namespace {

const QColor kMaterialeSottile(255, 255, 255, 26);

QPainterPath cerchio(const QRectF& r)
{
    QPainterPath c;
    c.addEllipse(r);
    return c;
}

QFont carattereIntestazione()
{
    QFont f = carattere(16, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    return f;
}

} // namespace

// --- PulsanteCamera -----------------------------------------------------

PulsanteCamera::PulsanteCamera(QWidget* parent) : QAbstractButton(parent), crescita_(new QVariantAnimation(this))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
    crescita_->setDuration(200);
    crescita_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(crescita_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        scala_ = v.toDouble();
        update();
    });
}

void PulsanteCamera::imposta(const QString& simbolo, const QColor& colore)
{
    simbolo_ = simbolo;
    colore_ = colore;
    update();
}

bool PulsanteCamera::hitButton(const QPoint& pos) const
{
    // Only the disc answers, not the corners around it.
    const QPointF d = QPointF(pos) - QRectF(rect()).center();
    return d.x() * d.x() + d.y() * d.y() <= (kLato / 2.0) * (kLato / 2.0);
}

void PulsanteCamera::enterEvent(QEnterEvent*)
{
    sotto_ = true;
    crescita_->stop();
    crescita_->setStartValue(scala_);
    crescita_->setEndValue(kIngrandimento);
    crescita_->start();
}

void PulsanteCamera::leaveEvent(QEvent*)
{
    sotto_ = false;
    crescita_->stop();
    crescita_->setStartValue(scala_);
    crescita_->setEndValue(1.0);
    crescita_->start();
}

void PulsanteCamera::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setOpacity(isDown() ? 0.7 : 1.0);
    const QPointF centro = QRectF(rect()).center();
    p.translate(centro);
    const double scala = scala_;
    p.scale(scala, scala);
    p.setPen(Qt::NoPen);
    p.setBrush(colore_);
    p.drawEllipse(QRectF(-kLato / 2.0, -kLato / 2.0, kLato, kLato));
    const int lato = 22;
    p.drawPixmap(QPointF(-lato / 2.0, -lato / 2.0), Simboli::pixmap(simbolo_, lato, Qt::white, devicePixelRatioF() * scala));
}

// --- MirrorView ---------------------------------------------------------

MirrorView::MirrorView(CameraManager& cameraManager, QWidget* parent)
    : QWidget(parent), camera_(cameraManager), pulsante_(new PulsanteCamera(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    pulsante_->setObjectName(QStringLiteral("camera"));
    conversione_.setMaxThreadCount(1);
    connect(pulsante_, &QAbstractButton::clicked, this, [this] {
        if (camera_.isSessionRunning()) {
            camera_.fermaSessione();
        } else {
            collegaAnteprima();
            camera_.avviaSessione();
        }
    });
    connect(&camera_, &CameraManager::isSessionRunningChanged, this, &MirrorView::aggiorna);
    connect(&camera_, &CameraManager::permissionDeniedChanged, this, &MirrorView::aggiorna);
    connect(&camera_, &CameraManager::nessunaCameraChanged, this, &MirrorView::aggiorna);
    aggiorna();
}

void MirrorView::collegaAnteprima()
{
    // Only once the camera is wanted: the picture brings up the multimedia
    // stack, which merely showing the tab should not.
    if (std::exchange(collegata_, true))
        return;
    // Frames come from the pipeline's thread; the connection queues them here.
    connect(camera_.anteprima(), &QVideoSink::videoFrameChanged, this, &MirrorView::nuovoFotogramma);
}

MirrorView::Faccia MirrorView::faccia(bool permissionDenied, bool nessunaCamera, bool isSessionRunning)
{
    if (permissionDenied)
        return Faccia::negata;
    if (nessunaCamera)
        return Faccia::nessunaCamera;
    return isSessionRunning ? Faccia::dalVivo : Faccia::spenta;
}

MirrorView::Faccia MirrorView::facciaCorrente() const
{
    return faccia(camera_.permissionDenied(), camera_.nessunaCamera(), camera_.isSessionRunning());
}

void MirrorView::aggiorna()
{
    const bool acceso = camera_.isSessionRunning();
    if (acceso) {
        collegaAnteprima(); // a session started from elsewhere
        pulsante_->imposta(QStringLiteral("video.slash.fill"), Colori::rosso());
        pulsante_->setAccessibleName(tr("Spegni camera"));
    } else {
        pulsante_->imposta(QStringLiteral("video.fill"), Colori::viola());
        pulsante_->setAccessibleName(tr("Accendi camera"));
        // A later start must not flash the picture of the last one.
        immagine_ = {};
        inAttesa_ = {};
    }
    update();
}

QImage MirrorView::specchia(const QImage& fotogramma, int lato)
{
    if (fotogramma.isNull() || lato <= 0)
        return {};
    // Fill the square, cropping the longer side about its centre.
    const QImage pieno = fotogramma.scaled(lato, lato, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QImage quadrato = pieno.copy((pieno.width() - lato) / 2, (pieno.height() - lato) / 2, lato, lato);
    return quadrato.mirrored(true, false);
}

MirrorView::~MirrorView()
{
    // No conversion may post to us once we are gone.
    conversione_.clear();
    conversione_.waitForDone();
}

void MirrorView::nuovoFotogramma(const QVideoFrame& fotogramma)
{
    if (!camera_.isSessionRunning() || !fotogramma.isValid())
        return;
    if (convertendo_)
        inAttesa_ = fotogramma;
    else
        converti(fotogramma);
}

void MirrorView::converti(const QVideoFrame& fotogramma)
{
    convertendo_ = true;
    const qreal dpr = devicePixelRatioF();
    conversione_.start([this, fotogramma, dpr] {
        QImage immagine = specchia(QVideoFrame(fotogramma).toImage(), int(kDisco * dpr));
        immagine.setDevicePixelRatio(dpr);
        QMetaObject::invokeMethod(this, [this, immagine] { convertito(immagine); }, Qt::QueuedConnection);
    });
}

void MirrorView::convertito(const QImage& immagine)
{
    convertendo_ = false;
    // A picture finished after the stop is not kept.
    if (camera_.isSessionRunning()) {
        immagine_ = immagine;
        if (facciaCorrente() == Faccia::dalVivo)
            update(disco_.toAlignedRect());
    }
    if (inAttesa_.isValid())
        converti(std::exchange(inAttesa_, QVideoFrame()));
}

void MirrorView::resizeEvent(QResizeEvent*) { disponi(); }

void MirrorView::disponi()
{
    const double alto = QFontMetricsF(carattereIntestazione()).height();
    intestazione_ = QRectF(0, 0, width(), alto);
    const double yDisco = alto + 20;
    disco_ = QRectF(width() / 2.0 - kDisco / 2, yDisco, kDisco, kDisco);
    // The two spacers share what is left; the first keeps at least 24.
    const double libero = std::max(0.0, height() - (yDisco + kDisco + 64));
    const double primo = std::max(24.0, libero / 2);
    riga_ = QRectF(0, disco_.bottom() + primo, width(), 64);
    pulsante_->move(QPointF(riga_.center().x() - pulsante_->width() / 2.0,
                            riga_.center().y() - pulsante_->height() / 2.0).toPoint());
}

void MirrorView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    // Header: the purple viewfinder and "MIRROR MODE", centred.
    const QFont fi = carattereIntestazione();
    const QString titolo = tr("MIRROR MODE");
    const double largo = 11 + 6 + QFontMetricsF(fi).horizontalAdvance(titolo);
    const double x = intestazione_.center().x() - largo / 2;
    p.drawPixmap(QPointF(x, intestazione_.center().y() - 5.5),
                 Simboli::pixmap(QStringLiteral("person.fill.viewfinder"), 11, Colori::viola(), devicePixelRatioF()));
    p.setFont(fi);
    p.setPen(secondario());
    p.drawText(QRectF(x + 17, intestazione_.top(), largo, intestazione_.height()), Qt::AlignLeft | Qt::AlignVCenter,
               titolo);

    // The disc's shadow, then the disc.
    const int margine = 20;
    // Blurred once for the process: the view is built anew each time its tab shows.
    static const QImage ombra =
        ombraSfocata(cerchio(QRectF(margine, margine, kDisco, kDisco)),
                     QSize(int(kDisco) + 2 * margine, int(kDisco) + 2 * margine), 10, QColor(0, 0, 0, 102));
    p.drawImage(disco_.topLeft() + QPointF(-margine, -margine + 5), ombra);
    p.setPen(Qt::NoPen);
    p.setBrush(kMaterialeSottile);
    p.drawEllipse(disco_);

    switch (facciaCorrente()) {
    case Faccia::negata:
        disegnaFaccia(p, QStringLiteral("camera.fill"), 48, 0.6,
                      tr("Accesso negato. Abilita la fotocamera in Impostazioni di Sistema."), carattere(12), 12, 24);
        break;
    case Faccia::nessunaCamera:
        disegnaFaccia(p, QStringLiteral("video.slash"), 44, 0.7, tr("Nessuna fotocamera collegata."), carattere(12), 12,
                      24);
        break;
    case Faccia::dalVivo:
        if (!immagine_.isNull()) {
            p.save();
            p.setClipPath(cerchio(disco_));
            p.drawImage(disco_, immagine_);
            p.restore();
        }
        break;
    case Faccia::spenta:
        disegnaFaccia(p, QStringLiteral("person.fill.viewfinder"), 80, 0.5, tr("Accendi la camera per specchiarti"),
                      carattere(13, QFont::DemiBold), 14, 20);
        break;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 77), 4));
    p.drawEllipse(disco_);
}

void MirrorView::disegnaFaccia(QPainter& p, const QString& simbolo, int lato, double opacita, const QString& testo,
                               const QFont& f, int spazio, int margine)
{
    const QFontMetricsF fm(f);
    const QRectF zona = disco_.adjusted(margine, 0, -margine, 0);
    const QRectF testoR = fm.boundingRect(zona, Qt::TextWordWrap | Qt::AlignHCenter, testo);
    const double alto = lato + spazio + testoR.height();
    const double y = disco_.center().y() - alto / 2;
    QColor colore = secondario();
    colore.setAlphaF(colore.alphaF() * float(opacita));
    p.drawPixmap(QPointF(disco_.center().x() - lato / 2.0, y),
                 Simboli::pixmap(simbolo, lato, colore, devicePixelRatioF()));
    p.setFont(f);
    p.setPen(secondario());
    p.drawText(QRectF(zona.left(), y + lato + spazio, zona.width(), testoR.height()),
               Qt::TextWordWrap | Qt::AlignHCenter, testo);
}
