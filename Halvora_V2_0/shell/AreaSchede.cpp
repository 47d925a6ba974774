#include "AreaSchede.h"

#include "BarraSchede.h"
#include "Colori.h"
#include "Disegno.h"
#include "FormaTacca.h"
#include "ModuliPronti.h"
#include "Simboli.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <cmath>

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
    : QWidget(parent), stato_(stato), barra_(barra),
      pronti_(new ModuliPronti(this, [this](NotchTab tab, QWidget* m) { return dimensioneModulo(tab, m); })),
      indicatore_(BarraSchede::ordine().indexOf(stato.activeTab())), cambio_(1),
      dissolvenza_(new QVariantAnimation(this)), scelta_(stato.activeTab()), colore_(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    indicatore_.setTolleranza(0.5 / kLatoPulsante); // half a pixel
    animatore_.segui(&indicatore_);
    animatore_.segui(&cambio_);
    connect(&animatore_, &AnimatoreMolle::passo, this, &AreaSchede::passo);
    // The hover capsule comes and goes ease-in-out over 0.15 s.
    dissolvenza_->setDuration(150);
    dissolvenza_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(dissolvenza_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        opacitaEvidenziata_ = v.toDouble();
        ridisegnaAspetto();
    });
    connect(&barra_, &BarraSchede::cambiato, this, &AreaSchede::seguiPassaggio);
    // The chosen look moves between symbols ease-in-out over 0.2 s.
    colore_->setDuration(200);
    colore_->setEasingCurve(QEasingCurve::InOutQuad);
    colore_->setStartValue(0.0);
    colore_->setEndValue(1.0);
    connect(colore_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        cambioColore_ = v.toDouble();
        ridisegnaAspetto();
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
        update(QRect(0, 0, width(), kSopraModulo));
    emit aspettoCambiato();
}

void AreaSchede::ridisegnaAspetto()
{
    // The fades run on their own timer: while the springs move, the springs'
    // beat draws what they reached, one frame a step and none in between.
    if (!animatore_.attivo())
        ridisegna(false);
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
    // The module of a tab the pointer rests on is made while it rests there.
    const bool prepara = sopra && *sopra != stato_.activeTab() && moduloPresente_ && isVisible();
    pronti_->sosta(prepara ? sopra : std::nullopt);
    ridisegna(false);
}

void AreaSchede::setForma(const std::optional<QRectF>& forma, const QRectF& cornice)
{
    if (forma == forma_ && cornice == cornice_)
        return;
    forma_ = forma;
    cornice_ = cornice;
    if (!forma_ && inTransizione_)
        passo(); // the shape came to rest: the change may end
    else
        update();
}

void AreaSchede::setCostruttoreModulo(CostruttoreModulo costruttore)
{
    pronti_->setCostruttore(std::move(costruttore));
    rilasciaModulo();
    cambiaModulo();
}

void AreaSchede::riscalda()
{
    pronti_->riscalda(stato_.activeTab());
}

void AreaSchede::setModuloPresente(bool presente)
{
    if (presente == moduloPresente_)
        return;
    moduloPresente_ = presente;
    if (presente) {
        cambiaModulo();
    } else {
        pronti_->scarta();
        rilasciaModulo();
    }
}

void AreaSchede::rilasciaModulo()
{
    if (modulo_)
        pronti_->segui(modulo_, nullptr);
    inTransizione_ = false;
    uscente_ = entrante_ = QPixmap();
    cambio_.salta(1);
    tabModulo_.reset();
    pronti_->setMostrato(nullptr);
    if (modulo_) {
        modulo_->hide();
        modulo_->deleteLater();
    }
    modulo_ = nullptr;
}

QSize AreaSchede::dimensioneModulo(NotchTab tab, const QWidget* modulo) const
{
    // Each module keeps its own tab's size, whatever the panel shows now.
    const QSizeF scheda = NotchStateManager::dimensioneScheda(tab);
    int altezza = std::max(0, int(scheda.height()) - kSopraModulo - kSottoModulo);
    // The media player keeps its own height at the top.
    if (tab == NotchTab::media && modulo)
        altezza = std::min(altezza, modulo->sizeHint().height());
    return {int(scheda.width()) - 2 * kLatiModulo, altezza};
}

QRectF AreaSchede::rettangoloModulo(QSize dimensione) const
{
    // Centred, as the panel is: it stands where it stood whatever the
    // panel's size on the way.
    return QRectF((width() - dimensione.width()) / 2.0, kSopraModulo, dimensione.width(), dimensione.height());
}

QRect AreaSchede::areaModulo() const
{
    return rettangoloModulo(dimensioneModulo(stato_.activeTab(), modulo_)).toAlignedRect();
}

void AreaSchede::cambiaModulo()
{
    const NotchTab tab = stato_.activeTab();
    if (!moduloPresente_ || tabModulo_ == tab)
        return;
    // Only a change the user can see slides; a hidden panel just swaps.
    const bool anima = isVisible() && tabModulo_.has_value();
    QPixmap uscente;
    NotchTab tabUscente = tabUscente_;
    if (anima && inTransizione_ && !entrante_.isNull()) {
        uscente = entrante_; // the one that was coming leaves in its turn
        tabUscente = *tabModulo_;
    } else if (anima && inTransizione_) {
        uscente = uscente_; // the new one was never seen: the old one goes on leaving
    } else if (anima) {
        uscente = pronti_->foto(); // as it looks at rest, kept since it last painted
        tabUscente = *tabModulo_;
    }
    rilasciaModulo();
    tabModulo_ = tab;
    std::optional<ModuliPronti::Pronto> pronto = pronti_->prendi(tab);
    pronti_->scarta();
    if (!anima || uscente.isNull()) {
        modulo_ = pronto ? pronto->modulo.data() : pronti_->costruisci(tab);
        pronti_->setMostrato(modulo_);
        disponiModulo();
        ridisegna();
        return;
    }
    uscente_ = uscente;
    tabUscente_ = tabUscente;
    avanti_ = barra_.direzioneAvanti();
    inTransizione_ = true;
    nienteEntra_ = false;
    const int larghezza = std::max(int(uscente_.deviceIndependentSize().width()), dimensioneModulo(tab, nullptr).width());
    cambio_.salta(0);
    cambio_.setTolleranza(0.5 / std::max(1, larghezza)); // half a pixel of the slide
    cambio_.vaiA(1, kRisposta, kSmorzamento);
    animatore_.avvia();
    if (pronto)
        entra(pronto->modulo, pronto->immagine);
    else
        // Made on the next turns, while the old one already leaves.
        QTimer::singleShot(0, this, &AreaSchede::costruisciEntrante);
    disponiModulo();
    ridisegna();
}

void AreaSchede::entra(QWidget* modulo, QPixmap immagine)
{
    modulo_ = modulo;
    if (!modulo_)
        return;
    ModuliPronti::nascondi(modulo_);
    entrante_ = immagine;
    // What it shows may still change as it comes in (a calendar that reads
    // its events once its tab is chosen): its picture follows.
    pronti_->segui(modulo_, [this](const QPixmap& p) {
        if (inTransizione_) {
            entrante_ = p;
            update();
        }
    });
    if (entrante_.isNull())
        // Its picture on the next turn; meanwhile the old one leaves alone.
        QTimer::singleShot(0, modulo_.data(), [this, m = modulo_] {
            if (m && m == modulo_ && inTransizione_ && entrante_.isNull()) {
                entrante_ = pronti_->disegna(m);
                passo();
            }
        });
}

void AreaSchede::costruisciEntrante()
{
    if (!inTransizione_ || modulo_ || !tabModulo_)
        return;
    if (QWidget* m = pronti_->costruisci(*tabModulo_)) {
        entra(m, QPixmap());
    } else {
        nienteEntra_ = true; // nothing comes: the old one leaves alone
        passo();
    }
}

void AreaSchede::fineTransizione()
{
    pronti_->segui(modulo_, nullptr);
    inTransizione_ = false;
    uscente_ = entrante_ = QPixmap();
    pronti_->setMostrato(modulo_);
    disponiModulo();
}

void AreaSchede::passo()
{
    // Done once the slide rests with the new picture in place (or with
    // nothing to bring in, no builder having made a module).
    if (inTransizione_ && cambio_.ferma() && !forma_ && (!entrante_.isNull() || nienteEntra_))
        fineTransizione();
    // A step that moves nothing by a device pixel, nor fades anything by a
    // step of 1/255 (the springs' long tail), draws nothing.
    const qreal dpr = devicePixelRatioF();
    auto pixel = [dpr](const QRectF& r) {
        auto a = [dpr](double v) { return int(std::floor(v * dpr + 0.5)); };
        return QRect(QPoint(a(r.left()), a(r.top())), QPoint(a(r.right()), a(r.bottom())));
    };
    QList<int> impronta{inTransizione_, int(uscente_.cacheKey()), int(entrante_.cacheKey()),
                        qRound(cambioColore_ * 255), qRound(opacitaEvidenziata_ * 255)};
    for (const QRect& r : {pixel(rettangoloIndicatore()), pixel(cornice_.value_or(QRectF()))})
        impronta << r.x() << r.y() << r.width() << r.height();
    for (const Disegnato& d : disegnati()) {
        const QRect r = pixel(d.passaggio.dove);
        impronta << r.x() << r.y() << qRound(d.passaggio.opacita * 255);
    }
    if (impronta == impronta_)
        return;
    impronta_ = impronta;
    ridisegna();
}

QList<AreaSchede::Disegnato> AreaSchede::disegnati() const
{
    QList<Disegnato> l;
    if (!inTransizione_)
        return l;
    // The old one leaves by its own width towards the side opposite the
    // change, the new one comes in by its own width from the other side.
    const double q = cambio_.valore();
    const double verso = avanti_ ? 1 : -1;
    if (!uscente_.isNull()) {
        const QSizeF d = uscente_.deviceIndependentSize();
        const QRectF r = rettangoloModulo(d.toSize()).translated(-verso * d.width() * q, 0);
        l.append({{tabUscente_, r, std::clamp(1 - q, 0.0, 1.0)}, &uscente_});
    }
    if (!entrante_.isNull() && tabModulo_) {
        const QSizeF d = entrante_.deviceIndependentSize();
        const QRectF r = rettangoloModulo(d.toSize()).translated(verso * d.width() * (1 - q), 0);
        l.append({{*tabModulo_, r, std::clamp(q, 0.0, 1.0)}, &entrante_});
    }
    return l;
}

QList<AreaSchede::Passaggio> AreaSchede::passaggi() const
{
    QList<Passaggio> l;
    for (const Disegnato& d : disegnati())
        l << d.passaggio;
    return l;
}

void AreaSchede::completaAnimazioni()
{
    if (inTransizione_ && !modulo_)
        costruisciEntrante();
    if (inTransizione_ && modulo_ && entrante_.isNull())
        entrante_ = pronti_->disegna(modulo_);
    animatore_.completa();
    if (inTransizione_ && !forma_ && (!entrante_.isNull() || nienteEntra_))
        fineTransizione();
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
    if (!modulo_ || !tabModulo_)
        return;
    // While it comes in, only its picture shows.
    if (inTransizione_) {
        ModuliPronti::nascondi(modulo_);
        return;
    }
    const QRectF r = rettangoloModulo(dimensioneModulo(*tabModulo_, modulo_));
    modulo_->setGeometry(QRect(QPoint(qRound(r.left()), qRound(r.top())), r.size().toSize()));
}

void AreaSchede::resizeEvent(QResizeEvent*)
{
    disponiModulo();
}

void AreaSchede::hideEvent(QHideEvent*)
{
    // Closed or turned to the settings: nothing is kept ready meanwhile.
    pronti_->scarta();
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
    // The divider reaches across the frame the panel's edges follow.
    const QRectF cornice = cornice_.value_or(QRectF(rect()));
    const int y = kSopraModulo - 1;
    p.setPen(QPen(Disegno::primario(0.1), 1));
    p.drawLine(QPointF(cornice.left() + 16, y + 0.5), QPointF(cornice.right() - 16, y + 0.5));
    if (!inTransizione_)
        return;
    // Each module whole, at its own size, cut only by the notch shape.
    p.setClipPath(Disegno::rettangoloContinuo(forma_.value_or(QRectF(rect())), 0, FormaTacca::kRaggioSotto));
    for (const Disegnato& d : disegnati()) {
        const Passaggio& m = d.passaggio;
        if (m.opacita <= 0)
            continue;
        p.setOpacity(m.opacita);
        // On whole device pixels (halves rounded up, as the step that
        // skips unchanged frames rounds them): the picture copied as it is.
        p.drawPixmap(QPointF(std::floor(m.dove.left() * dpr + 0.5) / dpr, std::floor(m.dove.top() * dpr + 0.5) / dpr),
                     *d.immagine);
    }
}
