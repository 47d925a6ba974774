#include "ElementiImpostazioni.h"

#include "Disegno.h"
#include "PulsanteSimbolo.h"
#include "RigaInterruttore.h"
#include "Riquadro.h"
#include "SettingsManager.h"
#include "Simboli.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QVariantAnimation>
#include <QVBoxLayout>

namespace Impostazioni {

namespace {

constexpr int kSpazioSimbolo = 5;

QSize misuraAspetto(const Aspetto& a)
{
    const QFontMetrics fm(a.font);
    const int simbolo = a.simbolo.isEmpty() ? 0 : a.latoSimbolo + (a.testo.isEmpty() ? 0 : kSpazioSimbolo);
    return {simbolo + fm.horizontalAdvance(a.testo), std::max(fm.height(), a.simbolo.isEmpty() ? 0 : a.latoSimbolo)};
}

void disegnaAspetto(QPainter& p, const QRect& r, const Aspetto& a)
{
    const QFontMetrics fm(a.font);
    const int simbolo = a.simbolo.isEmpty() ? 0 : a.latoSimbolo + kSpazioSimbolo;
    QString testo = a.testo;
    if (a.elidiAlCentro)
        testo = fm.elidedText(testo, Qt::ElideMiddle, std::max(0, r.width() - simbolo));
    const int larghezza = std::min(r.width(), misuraAspetto({a.simbolo, testo, a.font, a.colore, a.latoSimbolo}).width());
    int x = r.left();
    if (a.allineamento & Qt::AlignHCenter)
        x = r.left() + (r.width() - larghezza) / 2;
    if (!a.simbolo.isEmpty()) {
        p.drawPixmap(x, r.top() + (r.height() - a.latoSimbolo) / 2,
                     Simboli::pixmap(a.simbolo, a.latoSimbolo, a.colore, p.device()->devicePixelRatioF()));
        x += simbolo;
    }
    p.setFont(a.font);
    p.setPen(a.colore);
    p.drawText(QRect(x, r.top(), r.right() - x + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, testo);
}

} // namespace

Etichetta::Etichetta(Aspetto aspetto, QWidget* parent) : QWidget(parent), aspetto_(std::move(aspetto))
{
    setSizePolicy(aspetto_.elidiAlCentro ? QSizePolicy::Ignored : QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(aspetto_.testo);
}

void Etichetta::setTesto(const QString& t)
{
    aspetto_.testo = t;
    setAccessibleName(t);
    updateGeometry();
    update();
}

QSize Etichetta::sizeHint() const
{
    return misuraAspetto(aspetto_);
}

QSize Etichetta::minimumSizeHint() const
{
    return aspetto_.elidiAlCentro ? QSize(aspetto_.latoSimbolo, sizeHint().height()) : sizeHint();
}

void Etichetta::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    disegnaAspetto(p, rect(), aspetto_);
}

Pulsante::Pulsante(Aspetto aspetto, QWidget* parent)
    : QAbstractButton(parent), aspetto_(std::move(aspetto)), dissolvenza_(new QVariantAnimation(this))
{
    setFocusPolicy(Qt::TabFocus);
    setText(aspetto_.testo);
    dissolvenza_->setDuration(200);
    dissolvenza_->setEasingCurve(QEasingCurve::InOutQuad);
    dissolvenza_->setStartValue(0.0);
    dissolvenza_->setEndValue(1.0);
    connect(dissolvenza_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
}

void Pulsante::setFondo(const QColor& fondo, QMargins margini, double raggio)
{
    fondo_ = fondo;
    margini_ = margini;
    raggio_ = raggio;
    updateGeometry();
}

void Pulsante::setContenuto(const QString& simbolo, const QString& testo)
{
    if (simbolo == aspetto_.simbolo && testo == aspetto_.testo)
        return;
    precedente_ = aspetto_;
    if (isVisible())
        dissolvenza_->start();
    aspetto_.simbolo = simbolo;
    aspetto_.testo = testo;
    setText(testo);
    updateGeometry();
    update();
}

void Pulsante::setOccupato(bool occupato)
{
    if (occupato && !indicatore_) {
        indicatore_ = new IndicatoreAttivita(12, this);
        indicatore_->move((width() - 12) / 2, (height() - 12) / 2);
        indicatore_->show();
    } else if (!occupato && indicatore_) {
        delete indicatore_;
        indicatore_ = nullptr;
    }
    setEnabled(!occupato);
    update();
}

QSize Pulsante::sizeHint() const
{
    const QSize m = misuraAspetto(aspetto_);
    return {m.width() + margini_.left() + margini_.right(), m.height() + margini_.top() + margini_.bottom()};
}

void Pulsante::resizeEvent(QResizeEvent*)
{
    if (indicatore_)
        indicatore_->move((width() - 12) / 2, (height() - 12) / 2);
}

void Pulsante::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (fondo_.isValid())
        p.fillPath(Disegno::rettangoloContinuo(QRectF(rect()), raggio_), fondo_);
    if (indicatore_)
        return;
    const double opacita = !isEnabled() ? 0.4 : isDown() ? 0.6 : 1.0;
    const QRect area = rect().marginsRemoved(margini_);
    if (dissolvenza_->state() == QAbstractAnimation::Running) {
        const double t = dissolvenza_->currentValue().toDouble();
        p.setOpacity(opacita * (1 - t));
        disegnaAspetto(p, area, precedente_);
        p.setOpacity(opacita * t);
    } else {
        p.setOpacity(opacita);
    }
    disegnaAspetto(p, area, aspetto_);
}

QHBoxLayout* rigaOrizzontale(int spaziatura)
{
    auto* l = new QHBoxLayout;
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    return l;
}

QVBoxLayout* colonna(int spaziatura)
{
    auto* l = new QVBoxLayout;
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spaziatura);
    return l;
}

QFont didascalia(QFont::Weight peso)
{
    return Riquadro::carattere(Riquadro::kDidascalia, peso);
}

RigaInterruttore* interruttore(SettingsManager& settings, const QString& titolo, const QString& spiegazione,
                               const char* proprieta)
{
    auto* r = new RigaInterruttore(titolo, spiegazione);
    r->setObjectName(QString::fromLatin1(proprieta));
    r->collega(&settings, proprieta);
    // A switch whose change could not be saved says so under it, until it is.
    auto avviso = [r, &settings, chiave = QString::fromLatin1(proprieta)] {
        const auto motivo = settings.nonSalvata(chiave);
        r->setAvviso(motivo ? QCoreApplication::translate("Halvora", "Non salvata: %1").arg(*motivo) : QString());
    };
    QObject::connect(&settings, &SettingsManager::salvataggioChanged, r, avviso);
    avviso();
    return r;
}

} // namespace Impostazioni
