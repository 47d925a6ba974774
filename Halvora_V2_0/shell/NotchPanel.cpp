#include "NotchPanel.h"

#include "VistaAreaScheda.h"
#include "X11Finestra.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

NotchPanel::NotchPanel(QSize canvas, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                          | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("NotchPanel"));
    setWindowTitle(QStringLiteral("Halvora"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(canvas);
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

void NotchPanel::mostra()
{
    winId(); // the native window must exist before its input shape is set
    impostaRegione(regioneInput_);
    show();
    X11Finestra::fissaSopraOvunque(windowHandle());
    X11Finestra::impostaRegioneInput(windowHandle(), regioneInput_);
}

void NotchPanel::aggiornaPassaggioClick(const QList<QRectF>& rettangoli, bool aperta, QPointF puntatore,
                                        bool pulsantePremuto)
{
    if (aperta != consenteTastiera_) {
        consenteTastiera_ = aperta;
        if (QWindow* w = windowHandle())
            w->setFlag(Qt::WindowDoesNotAcceptFocus, !aperta);
    }
    // A drag begun on a card keeps receiving events until release.
    if (gestoInCorso_ && !rettangoli.isEmpty() && pulsantePremuto)
        return;
    bool accetta = false;
    for (const QRectF& r : rettangoli)
        accetta = accetta || r.contains(puntatore);
    QRegion locale;
    if (accetta) {
        const QPointF origine = geometry().topLeft();
        for (const QRectF& r : rettangoli)
            locale += r.translated(-origine).toAlignedRect();
    }
    if (locale != regioneInput_)
        impostaRegione(locale);
}

void NotchPanel::impostaRegione(const QRegion& locale)
{
    regioneInput_ = locale;
    if (!X11Finestra::disponibile() || !windowHandle())
        return;
    const qreal dpr = devicePixelRatioF();
    QRegion fisica;
    for (const QRect& r : locale)
        fisica += QRect(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr), qRound(r.height() * dpr));
    X11Finestra::impostaRegioneInput(windowHandle(), fisica);
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

bool NotchPanel::eventFilter(QObject* oggetto, QEvent* evento)
{
    const auto tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonRelease)
        return false;
    // The native window receives each press once, before any widget does.
    if (oggetto != windowHandle() || !windowHandle())
        return false;
    if (tipo == QEvent::MouseButtonPress) {
        // A press starts a gesture only on the closed notch.
        gestoInCorso_ = !consenteTastiera_;
    } else if (gestoInCorso_ && static_cast<QMouseEvent*>(evento)->buttons() == Qt::NoButton) {
        gestoInCorso_ = false;
        eseguiAlTermine();
    }
    return false;
}

void NotchPanel::moveEvent(QMoveEvent* evento)
{
    QWidget::moveEvent(evento);
    eseguiAlTermine();
}
