#include "PomodoroView.h"

#include "Colori.h"
#include "PomodoroManager.h"
#include "SchedaChiusa.h"
#include "Simboli.h"
#include "StratiPulsanti.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

QColor bianco(int alfa) { return QColor(255, 255, 255, alfa); }
const QColor kPrimario(255, 255, 255);
const QColor kSecondario = bianco(150);
const QColor kMaterialeUltraSottile = bianco(18);

using AspettoScheda::carattere;

// Caption and caption-2 sizes of the interface.
constexpr int kDidascalia = 11;
constexpr int kDidascalia2 = 10;

QFont carattereTitoloModo()
{
    QFont f = carattere(16, QFont::Bold);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    return f;
}

// The capsule that switches between the pomodoro and the custom timer.
class PulsanteModo final : public QAbstractButton {
public:
    explicit PulsanteModo(QWidget* parent) : QAbstractButton(parent)
    {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }
    void imposta(const QString& titolo)
    {
        if (titolo == text())
            return;
        setText(titolo);
        updateGeometry();
        update();
    }
    QSize sizeHint() const override
    {
        const QFontMetrics fm(carattereTitoloModo());
        const int largo = 11 + 6 + fm.horizontalAdvance(text()) + 6 + kDidascalia;
        return {largo + 24, std::max(fm.height(), 11) + 12};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(isDown() ? 0.6 : 1.0);
        QColor fondo = kSecondario;
        fondo.setAlphaF(fondo.alphaF() * 0.10f);
        p.setPen(Qt::NoPen);
        p.setBrush(fondo);
        p.drawRoundedRect(QRectF(rect()), height() / 2.0, height() / 2.0);
        const qreal dpr = devicePixelRatioF();
        int x = 12;
        const int cy = height() / 2;
        p.drawPixmap(x, cy - 11 / 2, Simboli::pixmap(QStringLiteral("timer"), 11, Colori::arancione(), dpr));
        x += 11 + 6;
        const QFont f = carattereTitoloModo();
        const QFontMetrics fm(f);
        p.setFont(f);
        p.setPen(kSecondario);
        p.drawText(QRect(x, 0, fm.horizontalAdvance(text()) + 2, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
        x += fm.horizontalAdvance(text()) + 6;
        p.drawPixmap(x, cy - kDidascalia / 2,
                     Simboli::pixmap(QStringLiteral("arrow.2.squarepath"), kDidascalia, kSecondario, dpr));
    }
};

QPainterPath cerchio(const QRectF& r)
{
    QPainterPath c;
    c.addEllipse(r);
    return c;
}

} // namespace

// --- IconaTonda ---------------------------------------------------------

IconaTonda::IconaTonda(const QString& simbolo, const QColor& accento, QWidget* parent)
    : QAbstractButton(parent), simbolo_(simbolo), accento_(accento)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

void IconaTonda::imposta(const QString& simbolo, bool evidenziata)
{
    if (simbolo == simbolo_ && evidenziata == evidenziata_)
        return;
    simbolo_ = simbolo;
    evidenziata_ = evidenziata;
    update();
}

QRect IconaTonda::disco() const { return QRect(kAlone, kAlone, kLato, kLato); }

void IconaTonda::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(isDown() ? 0.6 : 1.0);
    if (evidenziata_) {
        QColor alone = accento_;
        alone.setAlphaF(0.30f);
        p.drawImage(0, 0, ombraSfocata(cerchio(QRectF(disco())), size(), kAlone, alone));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(bianco(31));
    p.drawEllipse(QRectF(disco()));
    const int lato = 14;
    p.drawPixmap(disco().center().x() - lato / 2 + 1, disco().center().y() - lato / 2 + 1,
                 Simboli::pixmap(simbolo_, lato, evidenziata_ ? accento_ : kPrimario, devicePixelRatioF()));
}

// --- Stepper ------------------------------------------------------------

namespace {
constexpr int kCornice = 56;   // the number's frame
constexpr int kFrecceLargo = 13;
constexpr int kFrecceAlto = 22;
QFont carattereCifre() { return carattere(28, QFont::DemiBold, true); }
} // namespace

Stepper::Stepper(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::PointingHandCursor);
}

int Stepper::dopoPasso(int valore, int passo, int massimo)
{
    return std::clamp(valore + passo, 0, std::max(0, massimo));
}

void Stepper::setValore(int valore)
{
    if (valore == valore_)
        return;
    valore_ = valore;
    update();
}

QSize Stepper::sizeHint() const
{
    return {kCornice + 4 + kFrecceLargo, std::max(QFontMetrics(carattereCifre()).height(), kFrecceAlto)};
}

QRect Stepper::frecciaSu() const
{
    return QRect(kCornice + 4, (height() - kFrecceAlto) / 2, kFrecceLargo, kFrecceAlto / 2);
}

QRect Stepper::frecciaGiu() const { return frecciaSu().translated(0, kFrecceAlto / 2); }

void Stepper::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(carattereCifre());
    p.setPen(kPrimario);
    p.drawText(QRect(0, 0, kCornice, height()), Qt::AlignCenter, QString::asprintf("%02d", valore_));

    const QRectF frecce = QRectF(frecciaSu()).united(QRectF(frecciaGiu()));
    p.setPen(Qt::NoPen);
    p.setBrush(bianco(40));
    p.drawRoundedRect(frecce, 4, 4);
    if (premuta_ != 0) {
        p.setBrush(bianco(50));
        p.drawRoundedRect(premuta_ > 0 ? QRectF(frecciaSu()) : QRectF(frecciaGiu()), 4, 4);
    }
    p.setPen(QPen(bianco(90), 0.5));
    p.drawLine(QPointF(frecce.left() + 2, frecce.center().y()), QPointF(frecce.right() - 2, frecce.center().y()));
    // Two small chevrons, up and down.
    QPen tratto(kPrimario, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tratto);
    p.setBrush(Qt::NoBrush);
    const QPointF su = QRectF(frecciaSu()).center();
    const QPointF giu = QRectF(frecciaGiu()).center();
    p.drawPolyline(QPolygonF{su + QPointF(-3, 1.5), su + QPointF(0, -1.5), su + QPointF(3, 1.5)});
    p.drawPolyline(QPolygonF{giu + QPointF(-3, -1.5), giu + QPointF(0, 1.5), giu + QPointF(3, -1.5)});
}

void Stepper::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    premuta_ = frecciaSu().contains(pos) ? 1 : frecciaGiu().contains(pos) ? -1 : 0;
    update();
}

void Stepper::mouseReleaseEvent(QMouseEvent* e)
{
    const int era = premuta_;
    premuta_ = 0;
    update();
    const QPoint pos = e->position().toPoint();
    if ((era > 0 && frecciaSu().contains(pos)) || (era < 0 && frecciaGiu().contains(pos)))
        emit passo(era);
}

void Stepper::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Up)
        emit passo(1);
    else if (e->key() == Qt::Key_Down)
        emit passo(-1);
    else
        QWidget::keyPressEvent(e);
}

void Stepper::wheelEvent(QWheelEvent* e)
{
    const int dy = e->angleDelta().y();
    if (dy != 0)
        emit passo(dy > 0 ? 1 : -1);
    e->accept();
}

// --- PomodoroView -------------------------------------------------------

PomodoroView::PomodoroView(PomodoroManager& manager, const QColor& accentColor, QWidget* parent, Clock& clock)
    : QWidget(parent), manager_(manager), accentColor_(accentColor), clock_(clock)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto* modo = new PulsanteModo(this);
    modo->setObjectName(QStringLiteral("modo"));
    modo_ = modo;
    play_ = new IconaTonda(QStringLiteral("play.fill"), accentColor_, this);
    play_->setObjectName(QStringLiteral("playPause"));
    reset_ = new IconaTonda(QStringLiteral("arrow.counterclockwise"), accentColor_, this);
    reset_->setObjectName(QStringLiteral("reset"));
    minuti_ = new Stepper(this);
    minuti_->setObjectName(QStringLiteral("minuti"));
    secondi_ = new Stepper(this);
    secondi_->setObjectName(QStringLiteral("secondi"));

    connect(modo_, &QAbstractButton::clicked, this, [this] {
        manager_.setCurrentMode(manager_.currentMode() == TimerMode::pomodoro ? TimerMode::custom
                                                                              : TimerMode::pomodoro);
    });
    connect(play_, &QAbstractButton::clicked, this, [this] {
        if (manager_.isActive()) {
            manager_.pauseTimer();
            manager_.setSessionState(PomodoroSessionState::paused);
        } else {
            manager_.startTimer();
        }
    });
    connect(reset_, &QAbstractButton::clicked, this, [this] { manager_.resetTimer(); });
    connect(minuti_, &Stepper::passo, this, [this](int d) {
        const int v = Stepper::dopoPasso(manager_.customMinutes(), d, 99);
        if (v != manager_.customMinutes())
            manager_.setCustomMinutes(v);
    });
    connect(secondi_, &Stepper::passo, this, [this](int d) {
        const int v = Stepper::dopoPasso(manager_.customSeconds(), d, 59);
        if (v != manager_.customSeconds())
            manager_.setCustomSeconds(v);
    });

    connect(&manager_, &PomodoroManager::timeRemainingChanged, this, &PomodoroView::tempoCambiato);
    connect(&manager_, &PomodoroManager::cambiato, this, &PomodoroView::aggiorna);
    progressoMostrato_ = arcoA_ = progresso(manager_.timeRemaining(), manager_.totalTime());
    aggiorna();
}

double PomodoroView::progresso(int timeRemaining, int totalTime)
{
    if (totalTime <= 0)
        return 0;
    return std::clamp(double(timeRemaining) / double(totalTime), 0.0, 1.0);
}

bool PomodoroView::mostraEditor() const
{
    return manager_.currentMode() == TimerMode::custom && manager_.sessionState() == PomodoroSessionState::stopped;
}

QString PomodoroView::testoSessioni() const
{
    return tr("Sessioni completate: %1").arg(manager_.completedSessions());
}

void PomodoroView::aggiorna()
{
    static_cast<PulsanteModo*>(modo_)->imposta(ModoTimer::localizedTitle(manager_.currentMode()));
    const bool attivo = manager_.isActive();
    play_->imposta(attivo ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"), attivo);
    reset_->imposta(reset_->simbolo(), attivo);
    minuti_->setValore(manager_.customMinutes());
    secondi_->setValore(manager_.customSeconds());
    // A new total without a new time (none today) lands without a glide.
    const double obiettivo = progresso(manager_.timeRemaining(), manager_.totalTime());
    if (inizioArco_ < 0)
        progressoMostrato_ = arcoA_ = obiettivo;
    else
        arcoA_ = obiettivo;
    disponi();
    update();
}

void PomodoroView::tempoCambiato()
{
    const int tempo = manager_.timeRemaining();
    // The arc glides from where it is drawn now.
    arcoDa_ = progressoMostrato_;
    arcoA_ = progresso(tempo, manager_.totalTime());
    inizioArco_ = clock_.monotonic();
    if (tempo == 0 && !isPulsing_) {
        isPulsing_ = true;
        inizioImpulso_ = clock_.monotonic();
    } else if (tempo > 0 && isPulsing_) {
        isPulsing_ = false;
    }
    animaFotogramma();
}

void PomodoroView::animaFotogramma()
{
    if (inizioArco_ >= 0) {
        const double t = (clock_.monotonic() - inizioArco_) / kDurataArco;
        if (t >= 1) {
            progressoMostrato_ = arcoA_;
            inizioArco_ = -1;
        } else {
            progressoMostrato_ = arcoDa_ + (arcoA_ - arcoDa_) * std::max(0.0, t);
        }
    }
    update();
    seguiAnimazione();
}

void PomodoroView::seguiAnimazione()
{
    const bool serve = isVisible() && !mostraEditor() && (inizioArco_ >= 0 || isPulsing_);
    if (serve && !fotogrammi_)
        fotogrammi_ = clock_.repeating(1.0 / 60, [this] { animaFotogramma(); });
    else if (!serve)
        fotogrammi_.cancel();
}

void PomodoroView::showEvent(QShowEvent*)
{
    seguiAnimazione();
}

void PomodoroView::hideEvent(QHideEvent*)
{
    fotogrammi_.cancel();
}

double PomodoroView::faseImpulso() const
{
    if (!isPulsing_)
        return 0;
    return avanzamentoOscillante(clock_.monotonic() - inizioImpulso_, std::numbers::pi / kDurataPulsazione);
}

void PomodoroView::resizeEvent(QResizeEvent*) { disponi(); }

void PomodoroView::disponi()
{
    const double cx = width() / 2.0;
    const QSize modo = modo_->sizeHint();
    const double altoModo = modo.height() + 10;
    const double altoStato = QFontMetricsF(carattere(kDidascalia, QFont::Bold)).height();
    const double altoControlli = IconaTonda::kLato + 16;
    const double altoSessioni = 8 + std::max<double>(QFontMetricsF(carattere(kDidascalia, QFont::Medium)).height(), kDidascalia);

    // Editor: label over number, padded 18 × 14.
    const QSize stepper = minuti_->sizeHint();
    const double altoEtichetta = QFontMetricsF(carattere(kDidascalia2, QFont::Bold)).height();
    const double larghiDuePunti = QFontMetricsF(carattere(30, QFont::DemiBold, true)).horizontalAdvance(QLatin1Char(':'));
    const QSizeF colonna(stepper.width(), altoEtichetta + 6 + stepper.height());
    const QSizeF dimEditor(18 + colonna.width() + 16 + larghiDuePunti + 16 + colonna.width() + 18,
                           14 + colonna.height() + 14);
    const double altoPrincipale = mostraEditor() ? dimEditor.height() : kAnello;

    // The gaps give way first when the tab is shorter than its content.
    const double contenuto = altoModo + altoPrincipale + altoStato + altoControlli + altoSessioni;
    const double spazio = std::clamp((height() - 32 - contenuto) / 4, 6.0, 20.0);

    double y = 16;
    modo_->setGeometry(int(std::lround(cx - modo.width() / 2.0)), int(y), modo.width(), modo.height());
    y += altoModo + spazio;
    anello_ = QRectF(cx - kAnello / 2, y, kAnello, kAnello);
    editor_ = QRectF(QPointF(cx - dimEditor.width() / 2, y), dimEditor);
    colonnaMinuti_ = QRectF(editor_.topLeft() + QPointF(18, 14), colonna);
    separatore_ = QRectF(colonnaMinuti_.right() + 16, colonnaMinuti_.top(), larghiDuePunti, colonna.height());
    colonnaSecondi_ = QRectF(separatore_.right() + 16, colonnaMinuti_.top(), colonna.width(), colonna.height());
    minuti_->setGeometry(QRectF(colonnaMinuti_.left(), colonnaMinuti_.bottom() - stepper.height(), stepper.width(),
                                stepper.height()).toRect());
    secondi_->setGeometry(QRectF(colonnaSecondi_.left(), colonnaSecondi_.bottom() - stepper.height(),
                                 stepper.width(), stepper.height()).toRect());
    minuti_->setVisible(mostraEditor());
    secondi_->setVisible(mostraEditor());
    y += altoPrincipale + spazio;
    stato_ = QRectF(0, y, width(), altoStato);
    y += altoStato + spazio;
    const double largoControlli = 12 + IconaTonda::kLato + 12 + IconaTonda::kLato + 12;
    controlli_ = QRectF(cx - largoControlli / 2, y, largoControlli, altoControlli);
    const QPoint angolo(IconaTonda::kAlone, IconaTonda::kAlone);
    play_->move(QPointF(controlli_.left() + 12, y + 8).toPoint() - angolo);
    reset_->move(QPointF(controlli_.left() + 12 + IconaTonda::kLato + 12, y + 8).toPoint() - angolo);
    y += altoControlli + spazio;
    sessioni_ = QRectF(0, y + 8, width(), altoSessioni - 8);
    seguiAnimazione();
}

void PomodoroView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (mostraEditor())
        disegnaEditor(p);
    else
        disegnaAnello(p);
    disegnaStato(p);

    // The controls' capsule; the buttons draw themselves on it.
    p.setPen(QPen(bianco(46), 0.7));
    p.setBrush(kMaterialeUltraSottile);
    p.drawRoundedRect(controlli_, controlli_.height() / 2, controlli_.height() / 2);
    disegnaSessioni(p);
}

void PomodoroView::disegnaAnello(QPainter& p)
{
    const double fase = faseImpulso();
    const double arco = progressoMostrato();
    const QRectF cerchioR = anello_; // the stroke is centred on the 220 circle

    // The time, shrunk down to 60 % when it does not fit, and its outline in
    // the ring's own coordinates (with room around it for the glows).
    const int margine = 32;
    const QPointF origine = anello_.topLeft() - QPointF(margine, margine);
    const QSize lato = (anello_.size() + QSizeF(2 * margine, 2 * margine)).toSize();
    QFont f = carattere(54, QFont::Light, true);
    const QString testo = manager_.formattedTime();
    const double disponibile = anello_.width() - 48;
    if (const double largo = QFontMetricsF(f).horizontalAdvance(testo); largo > disponibile)
        f.setPixelSize(int(54 * std::max(0.6, disponibile / largo)));
    const QFontMetricsF fm(f);
    QPainterPath cifre;
    cifre.addText(QPointF(anello_.center().x() - fm.horizontalAdvance(testo) / 2,
                          anello_.center().y() + (fm.ascent() - fm.descent()) / 2) - origine,
                  f, testo);

    p.save();
    // The pulse: a red glow of what the ring draws, and a slight swelling about the centre.
    p.translate(anello_.center());
    p.scale(1 + 0.02 * fase, 1 + 0.02 * fase);
    p.translate(-anello_.center());
    if (fase > 0) {
        QPainterPath disegnato = cifre;
        if (arco > 0) {
            QPainterPath arcoR;
            const QRectF c = cerchioR.translated(-origine);
            arcoR.arcMoveTo(c, 90);
            arcoR.arcTo(c, 90, -arco * 360);
            QPainterPathStroker bordo;
            bordo.setWidth(8);
            bordo.setCapStyle(Qt::RoundCap);
            disegnato = disegnato.united(bordo.createStroke(arcoR));
        }
        QColor rosso = Colori::rosso();
        rosso.setAlphaF(float(0.6 * fase));
        p.drawImage(origine, ombraSfocata(disegnato, lato, 20 * fase, rosso));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(bianco(26), 8, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(cerchioR);
    if (arco > 0) {
        p.setPen(QPen(Colori::arancione(), 8, Qt::SolidLine, Qt::RoundCap));
        // From the top, clockwise, shrinking as time passes.
        p.drawArc(cerchioR, 90 * 16, -int(std::lround(arco * 360 * 16)));
    }
    if (manager_.isActive()) {
        QColor alone = accentColor_;
        alone.setAlphaF(0.28f);
        p.drawImage(origine, ombraSfocata(cifre, lato, 10, alone));
    }
    p.setFont(f);
    p.setPen(kPrimario);
    p.drawText(anello_.adjusted(24, 0, -24, 0), Qt::AlignCenter, testo);
    p.restore();
}

void PomodoroView::disegnaEditor(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kMaterialeUltraSottile);
    p.drawRoundedRect(editor_, 16, 16);
    const QFont etichetta = carattere(kDidascalia2, QFont::Bold);
    const double altoEtichetta = QFontMetricsF(etichetta).height();
    p.setFont(etichetta);
    p.setPen(kSecondario);
    // Labels centred over the whole stepper, as the column centres them.
    p.drawText(QRectF(colonnaMinuti_.topLeft(), QSizeF(colonnaMinuti_.width(), altoEtichetta)), Qt::AlignCenter, tr("MIN"));
    p.drawText(QRectF(colonnaSecondi_.topLeft(), QSizeF(colonnaSecondi_.width(), altoEtichetta)), Qt::AlignCenter, tr("SEC"));
    p.setFont(carattere(30, QFont::DemiBold, true));
    p.drawText(QRectF(separatore_.left(), minuti_->geometry().top(), separatore_.width(), minuti_->height()),
               Qt::AlignCenter, tr(":"));
}

void PomodoroView::disegnaStato(QPainter& p)
{
    const QFont f = carattere(kDidascalia, QFont::Bold);
    const QString testo = manager_.statusText();
    const double largo = 8 + 8 + QFontMetricsF(f).horizontalAdvance(testo);
    const double x = stato_.center().x() - largo / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Colori::arancione());
    p.drawEllipse(QRectF(x, stato_.center().y() - 4, 8, 8));
    p.setFont(f);
    p.setPen(Colori::arancione());
    p.drawText(QRectF(x + 16, stato_.top(), largo, stato_.height()), Qt::AlignLeft | Qt::AlignVCenter, testo);
}

void PomodoroView::disegnaSessioni(QPainter& p)
{
    const QFont f = carattere(kDidascalia, QFont::Medium);
    const QString testo = testoSessioni();
    const int simbolo = kDidascalia + 1;
    const double largo = simbolo + 8 + QFontMetricsF(f).horizontalAdvance(testo);
    const double x = sessioni_.center().x() - largo / 2;
    p.drawPixmap(QPointF(x, sessioni_.center().y() - simbolo / 2.0),
                 Simboli::pixmap(QStringLiteral("checkmark.circle.fill"), simbolo, Colori::verde(), devicePixelRatioF()));
    p.setFont(f);
    p.setPen(kSecondario);
    p.drawText(QRectF(x + simbolo + 8, sessioni_.top(), largo, sessioni_.height()), Qt::AlignLeft | Qt::AlignVCenter,
               testo);
}
