#include "PannelloAperto.h"

#include "AvvisoAperto.h"
#include "BarraSchede.h"
#include "Disegno.h"
#include "FormaTacca.h"
#include "PulsanteSimbolo.h"
#include "RegoleUsoIA.h"
#include "UsoIAAnelloView.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>


PannelloAperto::PannelloAperto(NotchStateManager& stato, BarraSchede& barra, Clock& clock, QWidget* parent)
    : QWidget(parent), stato_(stato), barra_(barra), clock_(clock), area_(new AreaSchede(stato, barra, this)),
      riga_(new QWidget(this)), gear_(new PulsanteSimbolo(QStringLiteral("gearshape.fill"), 20, Disegno::secondario(),
                                                           riga_)),
      avviso_(new AvvisoAperto(this)), giro_(1)
{
    setAttribute(Qt::WA_TranslucentBackground);
    riga_->setAttribute(Qt::WA_TranslucentBackground);
    gear_->setFixedSize(kLatoGear, kLatoGear);
    connect(gear_, &QAbstractButton::clicked, this, [this] { barra_.setShowSettings(!barra_.showSettings()); });
    connect(&barra_, &BarraSchede::showSettingsChanged, this, [this] { giraVerso(barra_.showSettings()); });
    connect(&stato_, &NotchStateManager::modalitaGuidaChanged, this, &PannelloAperto::aggiornaGuida);
    animatore_.segui(&giro_);
    connect(&animatore_, &AnimatoreMolle::passo, this, &PannelloAperto::passo);
    opacitaGuida_.setTolleranza(0.5 / 255);
    animatoreGuida_.segui(&opacitaGuida_);
    connect(&animatoreGuida_, &AnimatoreMolle::passo, this, &PannelloAperto::passoGuida);
    connect(area_, &AreaSchede::aspettoCambiato, this, &PannelloAperto::aspettoCambiato);
    aggiornaGuida();
}

void PannelloAperto::setCostruttoreImpostazioni(CostruttoreVista costruttore)
{
    costruttoreImpostazioni_ = std::move(costruttore);
}

void PannelloAperto::setCostruttoreGuida(CostruttoreVista costruttore)
{
    costruttoreGuida_ = std::move(costruttore);
    if (guida_) {
        guida_->deleteLater();
        guida_ = nullptr;
    }
    aggiornaGuida();
}

void PannelloAperto::aggiornaGuida()
{
    const bool inGuida = stato_.modalitaGuida();
    // A widget with an effect of its own only comes and goes.
    auto dissolvibile = [](QWidget* w) {
        return !w->graphicsEffect() || qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect());
    };
    if (inGuida && !guida_ && costruttoreGuida_) {
        // Nothing turns under the guide.
        if (giroInCorso())
            animatore_.completa();
        if (guidaUscente_)
            guidaUscente_->deleteLater();
        guida_ = costruttoreGuida_();
        if (guida_) {
            guida_->setParent(this);
            guida_->show();
            // Guide mode may open the notch just after this: the window
            // counts. It fades in on the spring its shape opens on.
            if (window()->isVisible() && dissolvibile(guida_)) {
                guida_->setGraphicsEffect(new QGraphicsOpacityEffect(guida_));
                opacitaGuida_.salta(0);
                opacitaGuida_.vaiA(1, kGuidaEntra);
                animatoreGuida_.avvia();
                passoGuida();
            }
        }
    } else if (!inGuida && guida_) {
        // The guide fades out over the panel, taking no more clicks.
        QWidget* uscente = guida_;
        guida_ = nullptr;
        if (window()->isVisible() && dissolvibile(uscente)) {
            uscente->setAttribute(Qt::WA_TransparentForMouseEvents);
            uscente->raise();
            guidaUscente_ = uscente;
            if (!uscente->graphicsEffect())
                opacitaGuida_.salta(1);
            uscente->setGraphicsEffect(new QGraphicsOpacityEffect(uscente));
            opacitaGuida_.vaiA(0, kGuidaEsce);
            animatoreGuida_.avvia();
            passoGuida();
        } else {
            uscente->hide();
            uscente->deleteLater();
        }
    }
    mostraFacce();
    disponiModulo();
}

void PannelloAperto::passoGuida()
{
    QWidget* w = guida_ ? guida_.data() : guidaUscente_.data();
    auto* effetto = w ? qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect()) : nullptr;
    if (!effetto)
        return;
    effetto->setOpacity(std::clamp(opacitaGuida_.valore(), 0.0, 1.0));
    if (opacitaGuida_.ferma()) {
        if (w == guidaUscente_)
            w->deleteLater();
        else
            w->setGraphicsEffect(nullptr);
    }
    emit aspettoCambiato();
}

void PannelloAperto::setUsoIA(const std::optional<StatoUsoIA>& stato)
{
    const bool presente = stato && RegoleUsoIA::limiteDaMostrare(stato->lettura);
    if (!presente) {
        delete anello_;
        anello_ = nullptr;
    } else if (anello_) {
        static_cast<UsoIAAnelloView*>(anello_)->imposta(stato->lettura, stato->attuale);
    } else {
        // Its detail card hangs over the panel, below the row.
        anello_ = new UsoIAAnelloView(stato->lettura, stato->attuale, clock_, riga_, this);
        anello_->installEventFilter(this);
        anello_->show();
    }
    disponiRiga();
}

bool PannelloAperto::eventFilter(QObject* o, QEvent* e)
{
    // The pill's width follows its percentage: its trailing edge stays by the gear.
    if (o == anello_ && e->type() == QEvent::Resize)
        disponiRiga();
    return QWidget::eventFilter(o, e);
}

bool PannelloAperto::anelloPresente() const
{
    return anello_ != nullptr;
}

bool PannelloAperto::rigaVisibile() const
{
    return !riga_->isHidden();
}

QRect PannelloAperto::rettangoloGear() const
{
    // At the top-trailing corner of the frame, which follows the shape's
    // edge while the notch changes size.
    const double destra = cornice_ ? cornice_->right() : width();
    return QRect(qRound(destra) - kMargineRiga - kLatoGear, kMargineRiga, kLatoGear, kLatoGear);
}

void PannelloAperto::setForma(const std::optional<QRectF>& forma, const std::optional<QRectF>& cornice)
{
    const bool riga = cornice != cornice_;
    forma_ = forma;
    cornice_ = cornice;
    area_->setForma(forma, cornice.value_or(QRectF(rect())));
    if (riga)
        disponiRiga();
}

QRect PannelloAperto::rettangoloAnello() const
{
    const QRect gear = rettangoloGear();
    const QSize d = anello_ ? anello_->size() : QSize(kLatoAnello, kLatoAnello);
    return QRect(gear.left() - kSpaziaturaRiga - d.width(), gear.center().y() - d.height() / 2 + 1, d.width(),
                 d.height());
}

void PannelloAperto::disponiRiga()
{
    const QRect gear = rettangoloGear();
    const QRect riga = anello_ ? gear.united(rettangoloAnello()) : gear;
    riga_->setGeometry(riga);
    gear_->move(gear.topLeft() - riga.topLeft());
    if (anello_)
        anello_->move(rettangoloAnello().topLeft() - riga.topLeft());
    riga_->raise();
    // The notice takes the row's leading side, up to the ring and gear.
    const int sinistra = qRound(cornice_ ? cornice_->left() : 0) + kMargineRiga;
    const int massima = riga.left() - kSpaziaturaRiga - sinistra;
    avviso_->setGeometry(sinistra, gear.top(), std::max(0, avviso_->larghezzaPer(massima)), gear.height());
    avviso_->raise();
}

void PannelloAperto::setAvviso(const std::optional<AttivitaNotch>& attivita)
{
    avviso_->imposta(stato_.modalitaGuida() ? std::nullopt : attivita);
    disponiRiga();
    emit aspettoCambiato();
}

void PannelloAperto::disponiModulo()
{
    area_->setGeometry(rect());
    area_->disponiModulo();
    if (pagina_)
        pagina_->setGeometry(rect());
    if (guida_)
        guida_->setGeometry(rect());
    disponiRiga();
}

void PannelloAperto::resizeEvent(QResizeEvent*)
{
    disponiModulo();
}

void PannelloAperto::mostraFacce()
{
    // During the turn only its picture shows; the guide hides everything else.
    const bool inGuida = stato_.modalitaGuida();
    const bool libere = !giroInCorso() && !inGuida;
    area_->setVisible(libere && !barra_.showSettings());
    if (pagina_)
        pagina_->setVisible(libere && barra_.showSettings());
    riga_->setVisible(!inGuida && (giroInCorso() || !barra_.showSettings()));
}

QSize PannelloAperto::dimensioneFaccia(bool impostazioni) const
{
    return (impostazioni ? NotchStateManager::kDimensioneImpostazioni
                         : NotchStateManager::dimensioneScheda(stato_.activeTab()))
        .toSize();
}

void PannelloAperto::giraVerso(bool impostazioni)
{
    if (giroInCorso())
        animatore_.completa();
    const bool anima = isVisible() && !stato_.modalitaGuida();
    // Each face is seen at its own size: the one that leaves as it stands,
    // the one that comes laid out at the size the notch is turning to.
    QWidget* prima = impostazioni ? static_cast<QWidget*>(area_) : pagina_.data();
    const QPixmap uscente =
        anima && prima ? Disegno::istantanea(prima, prima->size(), devicePixelRatioF()) : QPixmap();
    versoImpostazioni_ = impostazioni;
    if (impostazioni) {
        area_->setModuloPresente(false);
        pagina_ = costruttoreImpostazioni_ ? costruttoreImpostazioni_() : nullptr;
        if (pagina_) {
            pagina_->setParent(this);
            pagina_->setGeometry(rect());
        }
    } else {
        if (pagina_) {
            pagina_->hide();
            pagina_->deleteLater();
        }
        pagina_ = nullptr;
        area_->setModuloPresente(true);
    }
    mostraFacce();
    if (QWidget* dopo = impostazioni ? pagina_.data() : static_cast<QWidget*>(area_); anima && dopo) {
        const QSize d = dimensioneFaccia(impostazioni);
        dopo->setGeometry(QRect(QPoint(), d));
        if (dopo == area_)
            area_->disponiModulo();
        facciaEntrante_ = Disegno::istantanea(dopo, d, devicePixelRatioF());
    }
    disponiModulo();
    if (anima) {
        facciaUscente_ = uscente;
        girando_ = true;
        giro_.salta(0);
        giro_.vaiA(1, impostazioni ? kVersoImpostazioni : kTornaIndietro);
        animatore_.avvia();
        if (!riga_->graphicsEffect())
            riga_->setGraphicsEffect(new QGraphicsOpacityEffect(riga_));
        mostraFacce();
    }
    passo();
}

void PannelloAperto::passo()
{
    if (giro_.ferma() && girando_) {
        girando_ = false;
        facciaUscente_ = facciaEntrante_ = QPixmap();
        riga_->setGraphicsEffect(nullptr);
        mostraFacce();
    }
    if (auto* e = qobject_cast<QGraphicsOpacityEffect*>(riga_->graphicsEffect())) {
        // Ring and gear fade out towards the settings and back in after them.
        const double p = std::clamp(giro_.valore(), 0.0, 1.0);
        e->setOpacity(versoImpostazioni_ ? 1 - p : p);
    }
    update();
    emit aspettoCambiato();
}

void PannelloAperto::completaAnimazioni()
{
    area_->completaAnimazioni();
    animatore_.completa();
    animatoreGuida_.completa();
}

void PannelloAperto::disegnaGirata(QPainter& p, const QRectF& area, const QPixmap& faccia, double angolo)
{
    const double c = std::cos(angolo);
    if (faccia.isNull() || std::abs(c) < 1e-3)
        return;
    // Rotation about the vertical axis seen from a point one panel size
    // away: the near edge grows, the far one shrinks.
    const double distanza = std::max(area.width(), area.height());
    const QTransform giro(c, 0, -std::sin(angolo) / distanza, 0, 1, 0, 0, 0, 1);
    const QPointF centro = area.center();
    const QTransform t = QTransform::fromTranslate(-centro.x(), -centro.y()) * giro
                         * QTransform::fromTranslate(centro.x(), centro.y());
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setTransform(t, true);
    p.drawPixmap(area, faccia, QRectF(faccia.rect()));
    p.restore();
}

void PannelloAperto::paintEvent(QPaintEvent*)
{
    if (!giroInCorso())
        return;
    QPainter p(this);
    // Cut by the notch shape as it moves between the faces' sizes.
    if (forma_)
        p.setClipPath(Disegno::rettangoloContinuo(*forma_, 0, FormaTacca::kRaggioSotto));
    // The first half shows the face that leaves, the second the face that
    // comes, turned the rest of the way so it ends the right way round;
    // each at its own size, hanging from the middle of the top edge.
    const double angolo = giro_.valore() * std::numbers::pi;
    const bool prima = angolo < std::numbers::pi / 2;
    const QPixmap& faccia = prima ? facciaUscente_ : facciaEntrante_;
    const QSizeF d = faccia.deviceIndependentSize();
    const double centro = cornice_ ? cornice_->center().x() : width() / 2.0;
    disegnaGirata(p, QRectF(centro - d.width() / 2, 0, d.width(), d.height()), faccia,
                  prima ? angolo : angolo - std::numbers::pi);
}
