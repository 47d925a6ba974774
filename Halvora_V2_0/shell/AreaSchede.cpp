#include "AreaSchede.h"

#include "BarraSchede.h"
#include "Colori.h"
#include "Disegno.h"
#include "EffettoStrato.h"
#include "Simboli.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>

namespace {
// The springs of a tab change: the indicator and the module move together.
constexpr double kRisposta = 0.4;
constexpr double kSmorzamento = 0.7;

// `da` turned `t` of the way (0 to 1) into `a`.
QColor mescola(const QColor& da, const QColor& a, double t)
{
    if (t >= 1)
        return a;
    auto m = [t](double x, double y) { return x + (y - x) * t; };
    return QColor::fromRgbF(m(da.redF(), a.redF()), m(da.greenF(), a.greenF()), m(da.blueF(), a.blueF()),
                            m(da.alphaF(), a.alphaF()));
}
} // namespace

AreaSchede::AreaSchede(NotchStateManager& stato, BarraSchede& barra, QWidget* parent)
    : QWidget(parent), stato_(stato), barra_(barra), indicatore_(BarraSchede::ordine().indexOf(stato.activeTab())),
      cambio_(1), tappe_(new QTimer(this)), dissolvenza_(new QVariantAnimation(this)), scelta_(stato.activeTab()),
      colore_(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    animatore_.segui(&indicatore_);
    animatore_.segui(&cambio_);
    connect(&animatore_, &AnimatoreMolle::passo, this, &AreaSchede::passo);
    // Half a frame apart, so that each step falls between two frames of
    // the springs and is drawn with the next one.
    tappe_->setSingleShot(true);
    tappe_->setInterval(AnimatoreMolle::kIntervalloMs / 2);
    connect(tappe_, &QTimer::timeout, this, &AreaSchede::prossimaTappa);
    // The hover capsule comes and goes ease-in-out over 0.15 s.
    dissolvenza_->setDuration(150);
    dissolvenza_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(dissolvenza_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        opacitaEvidenziata_ = v.toDouble();
        ridisegna(false);
    });
    connect(&barra_, &BarraSchede::cambiato, this, &AreaSchede::seguiPassaggio);
    // The chosen look moves between symbols ease-in-out over 0.2 s.
    colore_->setDuration(200);
    colore_->setEasingCurve(QEasingCurve::InOutQuad);
    colore_->setStartValue(0.0);
    colore_->setEndValue(1.0);
    connect(colore_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        cambioColore_ = v.toDouble();
        ridisegna(false);
    });
    connect(&stato_, &NotchStateManager::activeTabChanged, this, [this] {
        const double indice = BarraSchede::ordine().indexOf(stato_.activeTab());
        if (isVisible()) {
            indicatore_.vaiA(indice, kRisposta, kSmorzamento);
            animatore_.avvia();
        } else {
            indicatore_.salta(indice);
        }
        sceltaPrima_ = scelta_;
        scelta_ = stato_.activeTab();
        colore_->stop();
        cambioColore_ = isVisible() ? 0 : 1;
        if (isVisible())
            colore_->start();
        cambiaModulo();
        ridisegna();
    });
}

void AreaSchede::ridisegna(bool conModulo)
{
    // The bar's looks change alone while the module rests under them.
    if (conModulo || transizioneInCorso())
        update();
    else
        update(QRect(0, 0, width(), kSopraBarra + kLatoPulsante + kSottoBarra + 1));
    emit aspettoCambiato();
}

void AreaSchede::seguiPassaggio()
{
    const auto sopra = barra_.hoveredTab();
    if (sopra) {
        // A new tab under the pointer takes the capsule and fades it in.
        if (sopra != evidenziata_) {
            evidenziata_ = sopra;
            opacitaEvidenziata_ = 0;
        }
    }
    const double verso = sopra ? 1.0 : 0.0;
    if (dissolvenza_->endValue().toDouble() != verso || dissolvenza_->state() != QAbstractAnimation::Running) {
        dissolvenza_->stop();
        dissolvenza_->setStartValue(opacitaEvidenziata_);
        dissolvenza_->setEndValue(verso);
        if (isVisible())
            dissolvenza_->start();
        else
            opacitaEvidenziata_ = verso;
    }
    ridisegna(false);
}

void AreaSchede::setCostruttoreModulo(CostruttoreModulo costruttore)
{
    costruttore_ = std::move(costruttore);
    rilasciaModulo();
    cambiaModulo();
}

void AreaSchede::setModuloPresente(bool presente)
{
    if (presente == moduloPresente_)
        return;
    moduloPresente_ = presente;
    if (presente) {
        cambiaModulo();
    } else {
        cambio_.salta(1);
        uscente_ = QPixmap();
        rilasciaModulo();
    }
}

void AreaSchede::rilasciaModulo()
{
    tappe_->stop();
    tappa_ = Tappa::nessuna;
    tabModulo_.reset();
    if (modulo_) {
        modulo_->hide();
        modulo_->deleteLater();
    }
    modulo_ = nullptr;
}

void AreaSchede::cambiaModulo()
{
    const NotchTab tab = stato_.activeTab();
    if (!moduloPresente_ || tabModulo_ == tab)
        return;
    // Only a change the user can see slides; a hidden panel just swaps.
    const bool anima = isVisible() && tabModulo_.has_value();
    // Over nothing, as it shows over the panel. A module still being made
    // was never seen: what shows now stays the picture that leaves.
    if (!anima)
        uscente_ = QPixmap();
    else if (!inPreparazione())
        uscente_ = modulo_ ? Disegno::istantanea(modulo_, modulo_->size(), devicePixelRatioF()) : QPixmap();
    rilasciaModulo();
    tabModulo_ = tab;
    if (anima) {
        // The old picture rests where the module was until the new one comes.
        avanti_ = barra_.direzioneAvanti();
        cambio_.salta(0);
        tappa_ = Tappa::costruisci;
        tappe_->start();
    } else {
        mettiModulo(false);
        cambio_.salta(1);
    }
    disponiModulo();
    ridisegna();
}

void AreaSchede::mettiModulo(bool anima)
{
    modulo_ = costruttore_ && tabModulo_ ? costruttore_(*tabModulo_) : nullptr;
    if (!modulo_)
        return;
    modulo_->setParent(this);
    // It slides and fades in as a picture of itself; a module that fades
    // by itself keeps its own effect.
    if (anima && !modulo_->graphicsEffect())
        modulo_->setGraphicsEffect(new EffettoStrato(modulo_));
    disponiModulo(); // where it comes from, before it shows
    modulo_->show();
}

EffettoStrato* AreaSchede::effettoDiPassaggio() const
{
    // The picture this area put on the module for the slide, not one of the module's own.
    auto* e = modulo_ ? qobject_cast<EffettoStrato*>(modulo_->graphicsEffect()) : nullptr;
    return e && e->parent() == modulo_ ? e : nullptr;
}

void AreaSchede::prossimaTappa()
{
    tappe_->stop();
    switch (tappa_) {
    case Tappa::nessuna:
        return;
    case Tappa::costruisci:
        // Shown a whole width away and fully faded: nothing of it is drawn yet.
        mettiModulo(true);
        tappa_ = Tappa::disegna;
        break;
    case Tappa::disegna:
        if (EffettoStrato* e = effettoDiPassaggio())
            e->prepara();
        tappa_ = Tappa::scorri;
        break;
    case Tappa::scorri:
        tappa_ = Tappa::nessuna;
        cambio_.vaiA(1, kRisposta, kSmorzamento);
        // Springs that still move take it with their next frame: no frame more.
        if (!animatore_.attivo())
            animatore_.avvia();
        return;
    }
    tappe_->start();
}

void AreaSchede::passo()
{
    const bool scorreva = transizioneInCorso();
    if (!inPreparazione() && cambio_.ferma()) {
        uscente_ = QPixmap();
        if (effettoDiPassaggio())
            modulo_->setGraphicsEffect(nullptr);
    }
    disponiModulo();
    ridisegna(scorreva);
}

void AreaSchede::completaAnimazioni()
{
    while (inPreparazione())
        prossimaTappa();
    animatore_.completa();
    for (QVariantAnimation* a : {dissolvenza_, colore_})
        if (a->state() == QAbstractAnimation::Running)
            a->setCurrentTime(a->duration());
}

void AreaSchede::disponiModulo()
{
    // The panel takes a new tab's size as the tab changes, before this hears
    // of the change: the old module leaves as it was, at its own size.
    if (moduloPresente_ && tabModulo_ && tabModulo_ != stato_.activeTab()) {
        cambiaModulo();
        return;
    }
    if (!modulo_)
        return;
    QRect area = areaModulo();
    // The media player keeps its own height at the top; every other module
    // fills the area from its top-left corner.
    if (tabModulo_ == NotchTab::media)
        area.setHeight(std::min(area.height(), modulo_->sizeHint().height()));
    // Coming in from the trailing edge when the change went right.
    const double p = cambio_.valore();
    area.translate(qRound((avanti_ ? 1 : -1) * area.width() * (1 - p)), 0);
    modulo_->setGeometry(area);
    if (EffettoStrato* e = effettoDiPassaggio())
        e->setOpacita(std::clamp(p, 0.0, 1.0));
}

void AreaSchede::resizeEvent(QResizeEvent*)
{
    disponiModulo();
}

QRect AreaSchede::rettangoloTab(int indice) const
{
    const int n = static_cast<int>(BarraSchede::ordine().size());
    // The row of seven is centred, leaving room for the power button on the left.
    const int x0 = (width() - n * kLatoPulsante) / 2 + kLatoPulsante / 2;
    return QRect(x0 + indice * kLatoPulsante, kSopraBarra, kLatoPulsante, kLatoPulsante);
}

QRectF AreaSchede::rettangoloIndicatore() const
{
    const QRectF primo = rettangoloTab(0);
    return primo.translated(indicatore_.valore() * kLatoPulsante, 0).adjusted(2, 6, -2, -6);
}

QRect AreaSchede::rettangoloPower() const
{
    return QRect(rettangoloTab(0).left() - kLatoPulsante, kSopraBarra, kLatoPulsante, kLatoPulsante);
}

QRect AreaSchede::areaModulo() const
{
    const int y = kSopraBarra + kLatoPulsante + kSottoBarra + 1;
    return QRect(0, y, width(), std::max(0, height() - y - kSottoModulo));
}

int AreaSchede::tabSotto(QPoint p) const
{
    for (int i = 0; i < BarraSchede::ordine().size(); ++i)
        if (rettangoloTab(i).contains(p))
            return i;
    return -1;
}

void AreaSchede::mouseMoveEvent(QMouseEvent* e)
{
    const int i = tabSotto(e->position().toPoint());
    const auto ora = i >= 0 ? std::optional<NotchTab>(BarraSchede::ordine()[i]) : std::nullopt;
    if (ora == barra_.hoveredTab())
        return;
    if (barra_.hoveredTab())
        barra_.passaggioSuTab(false, *barra_.hoveredTab());
    if (ora)
        barra_.passaggioSuTab(true, *ora);
}

void AreaSchede::leaveEvent(QEvent*)
{
    if (barra_.hoveredTab())
        barra_.passaggioSuTab(false, *barra_.hoveredTab());
}

void AreaSchede::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (rettangoloPower().contains(p) && azionePower_) {
        azionePower_();
        return;
    }
    if (const int i = tabSotto(p); i >= 0)
        barra_.selezionaTab(BarraSchede::ordine()[i]);
}

void AreaSchede::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal dpr = devicePixelRatioF();
    QColor indicatore = BarraSchede::colore(stato_.activeTab());
    indicatore.setAlphaF(0.2f);
    p.setPen(Qt::NoPen);
    p.setBrush(indicatore);
    p.drawRoundedRect(rettangoloIndicatore(), 14, 14);
    for (int i = 0; i < BarraSchede::ordine().size(); ++i) {
        const NotchTab tab = BarraSchede::ordine()[i];
        const QRectF r = rettangoloTab(i);
        const bool scelta = tab == stato_.activeTab();
        if (!scelta && evidenziata_ == tab && opacitaEvidenziata_ > 0) {
            p.setBrush(Disegno::primario(0.08 * opacitaEvidenziata_));
            p.drawRoundedRect(r.adjusted(2, 6, -2, -6), 14, 14);
        }
        QColor colore = Disegno::secondario();
        if (scelta)
            colore = mescola(Disegno::secondario(), BarraSchede::colore(tab), cambioColore_);
        else if (tab == sceltaPrima_)
            colore = mescola(BarraSchede::colore(tab), Disegno::secondario(), cambioColore_);
        p.drawPixmap(QPointF(r.center().x() - 9, r.center().y() - 9),
                     Simboli::pixmap(BarraSchede::simbolo(tab), 18, colore, dpr));
    }
    QColor rosso = Colori::rosso();
    rosso.setAlphaF(0.8f);
    const QRectF power = rettangoloPower();
    p.drawPixmap(QPointF(power.center().x() - 10, power.center().y() - 10),
                 Simboli::pixmap(QStringLiteral("power.circle.fill"), 20, rosso, dpr));
    const int y = kSopraBarra + kLatoPulsante + kSottoBarra;
    p.setPen(QPen(Disegno::primario(0.1), 1));
    p.drawLine(QPointF(16, y + 0.5), QPointF(width() - 16, y + 0.5));
    if (!uscente_.isNull()) {
        // The old module leaves towards the side opposite the change, fading.
        const double q = cambio_.valore();
        const QRect area = areaModulo();
        p.setOpacity(std::clamp(1 - q, 0.0, 1.0));
        p.drawPixmap(QPointF(area.left() - (avanti_ ? 1 : -1) * area.width() * q, area.top()), uscente_);
    }
}
