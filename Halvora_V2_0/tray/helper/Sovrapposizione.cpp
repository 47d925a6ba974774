#include "Sovrapposizione.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int kTentativi = 40; // 2 s for a grab held by someone else to end
constexpr int kPausaTentativoMs = 50;
const QColor kVelo(0, 0, 0, 80);
const QColor kBlu(10, 132, 255);

} // namespace

Sovrapposizione::Sovrapposizione(QImage congelata, QList<QRect> finestre, Modo modo)
    : congelata_(std::move(congelata)), finestre_(std::move(finestre)), modo_(modo)
{
    setFlags(Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setGeometry(QRect(QPoint(0, 0), congelata_.size()));
    // The window under a pointer that has not moved yet shows at once.
    puntatore_ = QCursor::pos();
    setModo(modo);
}

QRect Sovrapposizione::trascinato(QPoint da, QPoint a)
{
    return QRect(QPoint(qMin(da.x(), a.x()), qMin(da.y(), a.y())),
                 QSize(qAbs(a.x() - da.x()), qAbs(a.y() - da.y())));
}

std::optional<QRect> Sovrapposizione::finestraSotto(const QList<QRect>& finestre, QPoint punto)
{
    for (const QRect& f : finestre)
        if (f.contains(punto))
            return f;
    return std::nullopt;
}

void Sovrapposizione::setModo(Modo modo)
{
    modo_ = modo;
    inizio_.reset();
    setCursor(modo == Modo::area ? Qt::CrossCursor : Qt::PointingHandCursor);
    update();
}

std::optional<QRect> Sovrapposizione::evidenziato() const
{
    if (modo_ == Modo::finestra)
        return finestraSotto(finestre_, puntatore_);
    if (inizio_)
        return trascinato(*inizio_, puntatore_);
    return std::nullopt;
}

void Sovrapposizione::exposeEvent(QExposeEvent* e)
{
    QRasterWindow::exposeEvent(e);
    if (isExposed() && !presa_ && tentativi_ == 0)
        prendi();
}

void Sovrapposizione::prendi()
{
    // An override-redirect window gets no focus from the window manager:
    // the grabs are what bring pointer and keys here.
    requestActivate();
    presa_ = setKeyboardGrabEnabled(true) && setMouseGrabEnabled(true);
    if (presa_)
        return;
    setKeyboardGrabEnabled(false);
    if (++tentativi_ >= kTentativi) {
        finito_ = true;
        emit presaRifiutata();
        return;
    }
    QTimer::singleShot(kPausaTentativoMs, this, &Sovrapposizione::prendi);
}

void Sovrapposizione::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, congelata_);
    const auto scelta = evidenziato();
    // A veil over all but the picked part says the screen is held.
    const QRect tutto(QPoint(0, 0), size());
    QRegion velo(tutto);
    if (scelta)
        velo -= *scelta;
    p.setClipRegion(velo);
    p.fillRect(tutto, kVelo);
    p.setClipping(false);
    if (!scelta || scelta->isEmpty())
        return;
    if (modo_ == Modo::finestra)
        p.fillRect(*scelta, QColor(kBlu.red(), kBlu.green(), kBlu.blue(), 50));
    p.setPen(QPen(modo_ == Modo::finestra ? kBlu : QColor(Qt::white), 1));
    p.drawRect(scelta->adjusted(0, 0, -1, -1));
    if (modo_ == Modo::area) {
        // The size beside the pointer, in device pixels.
        const QString misura = QStringLiteral("%1 × %2").arg(scelta->width()).arg(scelta->height());
        QFont f = p.font();
        f.setPixelSize(12);
        p.setFont(f);
        const QRect testo = p.fontMetrics().boundingRect(misura).adjusted(-6, -3, 6, 3);
        QRect dove = testo.translated(puntatore_ + QPoint(14, 18) - testo.topLeft());
        if (!tutto.contains(dove))
            dove.moveBottomRight(puntatore_ - QPoint(8, 8));
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 170));
        p.drawRoundedRect(dove, 4, 4);
        p.setPen(Qt::white);
        p.drawText(dove, Qt::AlignCenter, misura);
    }
}

void Sovrapposizione::mousePressEvent(QMouseEvent* e)
{
    if (finito_ || e->button() != Qt::LeftButton)
        return;
    puntatore_ = e->position().toPoint();
    if (modo_ == Modo::area) {
        inizio_ = puntatore_;
        update();
    } else if (const auto f = finestraSotto(finestre_, puntatore_)) {
        finito_ = true;
        emit scelto(*f);
    }
}

void Sovrapposizione::mouseMoveEvent(QMouseEvent* e)
{
    puntatore_ = e->position().toPoint();
    update();
}

void Sovrapposizione::mouseReleaseEvent(QMouseEvent* e)
{
    if (finito_ || e->button() != Qt::LeftButton || modo_ != Modo::area || !inizio_)
        return;
    puntatore_ = e->position().toPoint();
    const QRect r = trascinato(*inizio_, puntatore_);
    inizio_.reset();
    // A click without a drag picks nothing: the user may still drag.
    if (r.width() < 1 || r.height() < 1) {
        update();
        return;
    }
    finito_ = true;
    emit scelto(r);
}

void Sovrapposizione::keyPressEvent(QKeyEvent* e)
{
    if (finito_)
        return;
    if (e->key() == Qt::Key_Escape) {
        finito_ = true;
        emit annullato();
    } else if (e->key() == Qt::Key_Space) {
        setModo(modo_ == Modo::area ? Modo::finestra : Modo::area);
    }
}
