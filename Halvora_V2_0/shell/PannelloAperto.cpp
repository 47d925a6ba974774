#include "PannelloAperto.h"

#include "BarraSchede.h"
#include "Colori.h"
#include "Disegno.h"
#include "NotchStateManager.h"
#include "Simboli.h"

#include <QMouseEvent>
#include <QPainter>

PannelloAperto::PannelloAperto(NotchStateManager& stato, BarraSchede& barra, QWidget* parent)
    : QWidget(parent), stato_(stato), barra_(barra)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    connect(&barra_, &BarraSchede::cambiato, this, qOverload<>(&QWidget::update));
    connect(&stato_, &NotchStateManager::activeTabChanged, this, qOverload<>(&QWidget::update));
    connect(&stato_, &NotchStateManager::activeTabChanged, this, &PannelloAperto::aggiornaModulo);
    connect(&barra_, &BarraSchede::cambiato, this, &PannelloAperto::disponiModulo);
}

void PannelloAperto::setCostruttoreModulo(CostruttoreModulo costruttore)
{
    costruttore_ = std::move(costruttore);
    tabModulo_.reset();
    aggiornaModulo();
}

void PannelloAperto::aggiornaModulo()
{
    const NotchTab tab = stato_.activeTab();
    if (tabModulo_ == tab)
        return;
    tabModulo_ = tab;
    if (modulo_) {
        modulo_->hide();
        modulo_->deleteLater();
    }
    modulo_ = costruttore_ ? costruttore_(tab) : nullptr;
    if (modulo_)
        modulo_->setParent(this);
    disponiModulo();
}

void PannelloAperto::disponiModulo()
{
    if (!modulo_)
        return;
    QRect area = areaModulo();
    // The media player keeps its own height at the top; every other module
    // fills the area from its top-left corner.
    if (tabModulo_ == NotchTab::media)
        area.setHeight(std::min(area.height(), modulo_->sizeHint().height()));
    modulo_->setGeometry(area);
    // The settings page takes the whole panel.
    modulo_->setVisible(!barra_.showSettings());
}

void PannelloAperto::resizeEvent(QResizeEvent*)
{
    disponiModulo();
}

QRect PannelloAperto::rettangoloTab(int indice) const
{
    const int n = static_cast<int>(BarraSchede::ordine().size());
    // The row of seven is centred, leaving room for the power button on the left.
    const int larghezza = n * kLatoPulsante;
    const int x0 = (width() - larghezza) / 2 + kLatoPulsante / 2;
    return QRect(x0 + indice * kLatoPulsante, kSopraBarra, kLatoPulsante, kLatoPulsante);
}

QRect PannelloAperto::rettangoloPower() const
{
    return QRect(rettangoloTab(0).left() - kLatoPulsante, kSopraBarra, kLatoPulsante, kLatoPulsante);
}

QRect PannelloAperto::rettangoloGear() const
{
    // Top-trailing corner, 16 from the top and the trailing edge.
    return QRect(width() - 16 - 28, 16, 28, 28);
}

QRect PannelloAperto::areaModulo() const
{
    const int y = kSopraBarra + kLatoPulsante + kSottoBarra + 1;
    return QRect(0, y, width(), std::max(0, height() - y - 20));
}

int PannelloAperto::tabSotto(QPoint p) const
{
    for (int i = 0; i < BarraSchede::ordine().size(); ++i)
        if (rettangoloTab(i).contains(p))
            return i;
    return -1;
}

void PannelloAperto::mouseMoveEvent(QMouseEvent* e)
{
    const int i = barra_.showSettings() ? -1 : tabSotto(e->position().toPoint());
    const auto ora = i >= 0 ? std::optional<NotchTab>(BarraSchede::ordine()[i]) : std::nullopt;
    if (ora == barra_.hoveredTab())
        return;
    if (barra_.hoveredTab())
        barra_.passaggioSuTab(false, *barra_.hoveredTab());
    if (ora)
        barra_.passaggioSuTab(true, *ora);
}

void PannelloAperto::leaveEvent(QEvent*)
{
    if (barra_.hoveredTab())
        barra_.passaggioSuTab(false, *barra_.hoveredTab());
}

void PannelloAperto::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (rettangoloGear().contains(p)) {
        barra_.setShowSettings(!barra_.showSettings());
        return;
    }
    if (barra_.showSettings())
        return;
    if (rettangoloPower().contains(p) && azionePower_) {
        azionePower_();
        return;
    }
    if (const int i = tabSotto(p); i >= 0)
        barra_.selezionaTab(BarraSchede::ordine()[i]);
}

void PannelloAperto::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal dpr = devicePixelRatioF();
    if (barra_.showSettings()) {
        // The settings page is drawn on the back of the panel, flipped about
        // the vertical axis; its content comes with the settings page view.
        return;
    }
    for (int i = 0; i < BarraSchede::ordine().size(); ++i) {
        const NotchTab tab = BarraSchede::ordine()[i];
        const QRectF r = rettangoloTab(i);
        const bool scelta = tab == stato_.activeTab();
        QColor colore = Disegno::secondario();
        if (scelta) {
            QColor fondo = BarraSchede::colore(tab);
            fondo.setAlphaF(0.2f);
            p.setPen(Qt::NoPen);
            p.setBrush(fondo);
            p.drawRoundedRect(r.adjusted(2, 6, -2, -6), 14, 14);
            colore = BarraSchede::colore(tab);
        } else if (barra_.hoveredTab() == tab) {
            p.setPen(Qt::NoPen);
            p.setBrush(Disegno::primario(0.08));
            p.drawRoundedRect(r.adjusted(2, 6, -2, -6), 14, 14);
        }
        p.drawPixmap(QPointF(r.center().x() - 9, r.center().y() - 9),
                     Simboli::pixmap(BarraSchede::simbolo(tab), 18, colore, dpr));
    }
    QColor rosso = Colori::rosso();
    rosso.setAlphaF(0.8f);
    const QRectF power = rettangoloPower();
    p.drawPixmap(QPointF(power.center().x() - 10, power.center().y() - 10),
                 Simboli::pixmap(QStringLiteral("power.circle.fill"), 20, rosso, dpr));
    const QRectF gear = rettangoloGear();
    p.drawPixmap(QPointF(gear.center().x() - 10, gear.center().y() - 10),
                 Simboli::pixmap(QStringLiteral("gearshape.fill"), 20, Disegno::secondario(), dpr));
    const int y = kSopraBarra + kLatoPulsante + kSottoBarra;
    p.setPen(QPen(Disegno::primario(0.1), 1));
    p.drawLine(QPointF(16, y + 0.5), QPointF(width() - 16, y + 0.5));
}
