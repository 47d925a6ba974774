#include "StratoComandi.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using SovrapposizioneVideo::Zona;

StratoComandi::StratoComandi(Azioni azioni, QWidget* parent) : QWidget(parent), azioni_(std::move(azioni))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    for (QVariantAnimation* a : {&comandi_, &maniglia_}) {
        a->setDuration(180);
        a->setEasingCurve(QEasingCurve::InOutQuad);
    }
    connect(&comandi_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        opacita_.comandi = v.toDouble();
        update();
    });
    connect(&maniglia_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        opacita_.maniglia = v.toDouble();
        update();
    });
    // The spinner turns at a modest frame rate, only while it shows.
    giro_.setInterval(80);
    connect(&giro_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    orologio_.start();
    aggiorna();
}

void StratoComandi::imposta(const SovrapposizioneVideo::Vista& v)
{
    if (v == vista_)
        return;
    vista_ = v;
    aggiorna();
}

void StratoComandi::setSopra(bool sopra)
{
    if (sopra == sopra_)
        return;
    sopra_ = sopra;
    aggiorna();
}

void StratoComandi::anima(QVariantAnimation& a, double verso)
{
    const double ora = &a == &comandi_ ? opacita_.comandi : opacita_.maniglia;
    if (a.state() == QAbstractAnimation::Running && a.endValue().toDouble() == verso)
        return;
    a.stop();
    if (ora == verso)
        return;
    a.setStartValue(ora);
    a.setEndValue(verso);
    a.start();
}

void StratoComandi::aggiorna()
{
    anima(comandi_, sopra_ || !vista_.aperto ? 1.0 : 0.0);
    anima(maniglia_, vista_.aperto && (sopra_ || trascina_) ? 1.0 : 0.0);
    if (vista_.aperto || vista_.pannello != SovrapposizioneVideo::Pannello::caricamento)
        giro_.stop();
    else if (!giro_.isActive())
        giro_.start();
    // Open, only the controls take the pointer; the page keeps the rest.
    if (!vista_.aperto) {
        clearMask();
    } else {
        QRegion r;
        for (const auto& b : SovrapposizioneVideo::pulsanti(size(), vista_))
            r += b.dove.toAlignedRect();
        setMask(r);
    }
    update();
}

void StratoComandi::resizeEvent(QResizeEvent*)
{
    aggiorna();
}

void StratoComandi::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!vista_.aperto)
        p.fillRect(rect(), SovrapposizioneVideo::fondo());
    SovrapposizioneVideo::disegna(p, size(), vista_, opacita_, orologio_.elapsed() / 1000.0);
}

void StratoComandi::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const Zona z = SovrapposizioneVideo::zona(e->position(), size(), vista_);
    if (z == Zona::maniglia) {
        trascina_ = true;
        aggiorna();
        if (azioni_.maniglia)
            azioni_.maniglia(0, e->globalPosition());
    } else if (z != Zona::nessuna && azioni_.premuto) {
        azioni_.premuto(z);
    }
}

void StratoComandi::mouseMoveEvent(QMouseEvent* e)
{
    if (trascina_) {
        if (azioni_.maniglia)
            azioni_.maniglia(1, e->globalPosition());
        return;
    }
    const Zona z = SovrapposizioneVideo::zona(e->position(), size(), vista_);
    setCursor(z == Zona::maniglia ? Qt::SizeFDiagCursor : z == Zona::nessuna ? Qt::ArrowCursor
                                                                            : Qt::PointingHandCursor);
}

void StratoComandi::mouseReleaseEvent(QMouseEvent* e)
{
    if (!trascina_ || e->button() != Qt::LeftButton)
        return;
    trascina_ = false;
    aggiorna();
    if (azioni_.maniglia)
        azioni_.maniglia(2, e->globalPosition());
}

bool StratoComandi::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        for (const auto& b : SovrapposizioneVideo::pulsanti(size(), vista_))
            if (b.dove.contains(h->pos()) && !b.aiuto.isEmpty()) {
                QToolTip::showText(h->globalPos(), b.aiuto, this);
                return true;
            }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
