#include "RegistrazioneCardView.h"

#include "Colori.h"
#include "StratiPulsanti.h"
#include "VoiceManager.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

using namespace AspettoScheda;

namespace {
constexpr double kPunto = 10;
} // namespace

RegistrazioneCardView::RegistrazioneCardView(VoiceManager& voiceManager, Clock& clock, QWidget* parent)
    : SchedaChiusa(kDimensione, clock, parent), voiceManager_(voiceManager), bagliore_(new VistaFormaPulsante(this, clock)),
      punto_(new VistaFormaPulsante(this, clock)),
      stop_(new PulsanteCapsula(tr("Stop"), {carattere(11, QFont::Bold), Qt::white, Colori::rosso(), 10, 5,
                                             QStringLiteral("stop.fill"), 9},
                                this)),
      tempo_(*this, clock, 0.3)
{
    bagliore_->configura({Colori::rosso(), FormaPulsante::Forma::rettangolo(kRaggio), {0.16, 0.26}, 3.2, std::nullopt});
    punto_->configura({Colori::rosso(), FormaPulsante::Forma::cerchio(), {0.45, 1.0}, 3.2,
                       FormaPulsante::Ombra{0.6f, 5, 0}});
    alzaPrimoPiano();
    stop_->raise();
    connect(stop_, &QAbstractButton::clicked, &voiceManager_, &VoiceManager::stopRecording);
    tempo_.imposta(testoTempo(voiceManager_.recordingDuration()));
    connect(&voiceManager_, &VoiceManager::recordingDurationChanged, this,
            [this] { tempo_.imposta(testoTempo(voiceManager_.recordingDuration())); });

    const QRectF c = rettangoloScheda();
    const QRectF riga = rigaContenuto();
    bagliore_->setGeometry(c.toAlignedRect());
    punto_->setGeometry(QRectF(riga.left(), c.center().y() - kPunto / 2, kPunto, kPunto).toAlignedRect());
    const QSize s = stop_->sizeHint();
    stop_->setGeometry(QRectF(riga.right() - s.width(), c.center().y() - s.height() / 2.0, s.width(), s.height())
                           .toAlignedRect());
}

QString RegistrazioneCardView::testoTempo(double secondi)
{
    // Truncated toward zero; a value that is not a number counts as 0.
    const qint64 intero = std::isfinite(secondi) ? static_cast<qint64>(std::trunc(secondi)) : 0;
    return QString::asprintf("%02lld:%02lld", intero / 60, intero % 60);
}

void RegistrazioneCardView::hideEvent(QHideEvent*) { tempo_.ferma(); }

void RegistrazioneCardView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    disegnaFondo(p, conOpacita(Colori::rosso(), 0.25));
}

void RegistrazioneCardView::disegnaPrimoPiano(QPainter& p)
{
    disegnaBordo(p, conOpacita(Colori::rosso(), 0.35));
    const QRectF c = rettangoloScheda();
    const QFont titolo = carattere(12, QFont::DemiBold);
    const QFont tempo = carattere(10, QFont::Medium, true);
    const QFontMetricsF mt(titolo), mm(tempo);
    const double x = punto_->geometry().right() + 1 + kSpaziatura;
    const double larghezza = stop_->x() - 4 - x;
    const double y = c.center().y() - (mt.height() + 1 + mm.height()) / 2;
    AspettoScheda::riga(p, QRectF(x, y, larghezza, mt.height()), tr("Registrazione"), titolo, primario());
    tempo_.disegna(p, QRectF(x, y + mt.height() + 1, larghezza, mm.height()), tempo, secondario());
}
