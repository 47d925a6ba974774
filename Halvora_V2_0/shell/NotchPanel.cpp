#include "NotchPanel.h"

#include "FormaTacca.h"
#include "SchedaChiusa.h"
#include "VistaAreaScheda.h"
#include "X11Finestra.h"
#include "X11SempreSopra.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace {
// Window coordinates to the X server's pixels.
QRegion inPixel(const QRegion& regione, qreal dpr)
{
    if (dpr == 1)
        return regione;
    QRegion fisica;
    for (const QRect& r : regione)
        fisica += QRect(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr), qRound(r.height() * dpr));
    return fisica;
}
} // namespace

NotchPanel::NotchPanel(QSize canvas, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                          | Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint),
      tela_(canvas)
{
    setObjectName(QStringLiteral("NotchPanel"));
    setWindowTitle(QStringLiteral("Halvora"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(canvas);
    xwayland_ = X11Finestra::xwayland();
    FormaTacca::setOmbre(!xwayland_);
    qApp->installEventFilter(this);
}

NotchPanel::~NotchPanel()
{
    qApp->removeEventFilter(this);
    // The markers are destroyed with the widgets after this body: let them
    // forget a panel that no longer has its list.
    alTermineDelGesto_ = nullptr;
    for (const auto& v : std::as_const(visteScheda_))
        if (v)
            v->dimenticaPannello();
}

void NotchPanel::posizionaTela(QPoint origine)
{
    // The window goes with the canvas until it is fitted again.
    const QPoint spostamento = origine - origineTela_;
    origineTela_ = origine;
    move(pos() + spostamento);
    eseguiAlTermine();
}

void NotchPanel::impostaContenuto(QWidget* contenuto)
{
    contenuto_ = contenuto;
    contenuto_->move(scostamentoTela());
}

void NotchPanel::adattaFinestra(const QRect& area)
{
    const QRect voluta = area & frameTela();
    if (voluta.isEmpty() || voluta == geometry())
        return;
    setGeometry(voluta);
    if (contenuto_)
        contenuto_->move(scostamentoTela());
    // Both are given to the server in the window's own coordinates.
    impostaRegione(regioneInput_);
    impostaRegioneMateriale(regioneMateriale_);
}

void NotchPanel::moveEvent(QMoveEvent* evento)
{
    QWidget::moveEvent(evento);
    if (contenuto_)
        contenuto_->move(scostamentoTela());
}

void NotchPanel::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    if (contenuto_)
        contenuto_->move(scostamentoTela());
}

void NotchPanel::mostra()
{
    winId(); // the native window must exist before its input shape is set
    X11Finestra::contenutoFermoSulloSchermo(windowHandle());
    impostaRegione(regioneInput_);
    show();
    if (X11Finestra::disponibile() && !sopra_) {
        sopra_ = new X11SempreSopra(*windowHandle(), this);
        sopra_->controlla();
    }
    sfocatura_ = X11Finestra::sfocaturaOfferta();
    AspettoScheda::setSfocaturaDietro(sfocatura_);
    impostaRegioneMateriale(regioneMateriale_);
}

QRect NotchPanel::areaMateriale() const
{
    return regioneMateriale_.boundingRect().translated(origineTela_);
}

void NotchPanel::impostaRegioneMateriale(const QRegion& regione)
{
    const bool cambiata = regione != regioneMateriale_;
    regioneMateriale_ = regione;
    // A window no larger than what is drawn follows the shapes as they move.
    if (cambiata && xwayland_)
        eseguiAlTermine();
    if (!sfocatura_ || !windowHandle())
        return;
    X11Finestra::impostaSfocatura(windowHandle(), inPixel(regione.translated(scostamentoTela()), devicePixelRatioF()));
}

void NotchPanel::nascondiPerCattura(bool nascondi)
{
    if (sopra_)
        sopra_->setAttivo(!nascondi);
    if (!X11Finestra::disponibile() || X11Finestra::compositore()) {
        setWindowOpacity(nascondi ? 0.0 : 1.0);
        return;
    }
    if (nascondi) {
        hide();
    } else {
        show();
        impostaRegione(regioneInput_);
    }
}

bool NotchPanel::haTastiera() const
{
    return X11Finestra::haFocus(windowHandle());
}

void NotchPanel::aggiornaPassaggioClick(const QList<QRectF>& rettangoli, bool aperta, bool pulsantePremuto)
{
    if (aperta != consenteTastiera_) {
        consenteTastiera_ = aperta;
        if (QWindow* w = windowHandle())
            w->setFlag(Qt::WindowDoesNotAcceptFocus, !aperta);
        if (!aperta)
            X11Finestra::restituisciTastiera(windowHandle(), std::exchange(tastieraPrecedente_, 0));
    }
    // A drag begun on a card keeps receiving events until release.
    if (gestoInCorso_ && !rettangoli.isEmpty() && pulsantePremuto)
        return;
    QRegion globale;
    for (const QRectF& r : rettangoli)
        globale += r.toAlignedRect();
    if (globale != regioneInput_)
        impostaRegione(globale);
}

void NotchPanel::impostaRegione(const QRegion& globale)
{
    regioneInput_ = globale;
    if (!X11Finestra::disponibile() || !windowHandle())
        return;
    // XWayland would keep the shape to itself while its compositor gives
    // the pointer to all of the window; a shape as large as the window
    // keeps the two in step, so the window hears the pointer leave it.
    if (xwayland_)
        X11Finestra::togliRegioneInput(windowHandle());
    else
        X11Finestra::impostaRegioneInput(windowHandle(), inPixel(globale.translated(-pos()), devicePixelRatioF()));
}

QList<QRectF> NotchPanel::rettangoliSchede() const
{
    QList<QRectF> lista;
    for (const auto& v : visteScheda_) {
        if (!v || !v->isVisible() || v->rect().isEmpty())
            continue;
        QRectF r(v->mapToGlobal(QPointF(0, 0)), v->size());
        r.setTop(r.top() + std::min(v->distaccoSuperiore(), r.height()));
        if (!r.isEmpty())
            lista << r;
    }
    return lista;
}

void NotchPanel::registra(VistaAreaScheda* vista)
{
    if (!visteScheda_.contains(vista))
        visteScheda_ << vista;
    eseguiAlTermine();
}

void NotchPanel::lascia(VistaAreaScheda* vista)
{
    visteScheda_.removeAll(vista);
    visteScheda_.removeAll(nullptr);
    eseguiAlTermine();
}

void NotchPanel::eseguiAlTermine()
{
    if (alTermineDelGesto_)
        alTermineDelGesto_();
}

bool NotchPanel::fuoriDalleRegioni(QEvent* evento)
{
    const auto tipo = evento->type();
    if (tipo == QEvent::Wheel)
        return !regioneInput_.contains(static_cast<QWheelEvent*>(evento)->globalPosition().toPoint());
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonDblClick && tipo != QEvent::MouseMove
        && tipo != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(evento);
    const bool dentro = regioneInput_.contains(mouse->globalPosition().toPoint());
    if (tipo == QEvent::MouseButtonPress || tipo == QEvent::MouseButtonDblClick) {
        premutoDentro_ = dentro;
        return !dentro;
    }
    // What a press in a region began goes on wherever the pointer goes.
    if (premutoDentro_) {
        if (tipo == QEvent::MouseButtonRelease && mouse->buttons() == Qt::NoButton)
            premutoDentro_ = false;
        return false;
    }
    return !dentro;
}

bool NotchPanel::eventFilter(QObject* oggetto, QEvent* evento)
{
    // The native window receives each press once, before any widget does.
    if (oggetto != windowHandle() || !windowHandle())
        return false;
    // Where the X server alone would have let it through, it reaches nothing.
    if (xwayland_ && fuoriDalleRegioni(evento))
        return true;
    const auto tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonRelease)
        return false;
    if (tipo == QEvent::MouseButtonPress) {
        // A press starts a gesture only on the closed notch.
        gestoInCorso_ = !consenteTastiera_;
        if (consenteTastiera_ && !haTastiera()) {
            tastieraPrecedente_ = X11Finestra::finestraAttiva();
            X11Finestra::prendiTastiera(windowHandle());
        }
    } else if (gestoInCorso_ && static_cast<QMouseEvent*>(evento)->buttons() == Qt::NoButton) {
        gestoInCorso_ = false;
        eseguiAlTermine();
    }
    return false;
}

