#include "SpiaFotogrammi.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QString>
#include <QWidget>
#include <glib.h>
#include <time.h>

namespace SpiaFotogrammi {

namespace {

struct Stato {
    GPollFunc attesa = nullptr;
    std::function<void(const QString&)> scrivi;
    bool inCorso = false;
    bool dipinto = false; // a window has been painted and flushed in this stretch
    double inizio = 0, inizioCpu = 0;
};

Stato& stato()
{
    static Stato s;
    return s;
}

double secondi(clockid_t orologio)
{
    timespec t{};
    clock_gettime(orologio, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A frame ends where the loop may wait, or once a window has been painted:
// a loop too busy to wait still shows one frame per paint.
gint sondaggio(GPollFD* fd, guint n, gint timeout)
{
    Stato& s = stato();
    const bool confine = timeout != 0 || s.dipinto;
    if (confine && s.inCorso) {
        s.inCorso = false;
        const double muro = (secondi(CLOCK_MONOTONIC) - s.inizio) * 1000;
        const double cpu = (secondi(CLOCK_THREAD_CPUTIME_ID) - s.inizioCpu) * 1000;
        if (muro >= 1)
            s.scrivi(QStringLiteral("fotogramma %1 %2").arg(muro, 0, 'f', 2).arg(cpu, 0, 'f', 2));
    }
    s.dipinto = false;
    const gint r = s.attesa(fd, n, timeout);
    if (confine) {
        s.inCorso = true;
        s.inizio = secondi(CLOCK_MONOTONIC);
        s.inizioCpu = secondi(CLOCK_THREAD_CPUTIME_ID);
    }
    return r;
}

class SpiaPittura final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        // A window paints and flushes on its update request.
        if (e->type() == QEvent::UpdateRequest && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow()) {
            stato().dipinto = true;
            // One line a frame drawn, so that a frame rate can be counted from outside.
            stato().scrivi(QStringLiteral("dipinto"));
        }
        return false;
    }
};

} // namespace

bool installa(std::function<void(const QString&)> scrivi)
{
    // The GUI thread's loop runs on the default context only when it is glib's.
    const QAbstractEventDispatcher* ciclo = QAbstractEventDispatcher::instance();
    Stato& s = stato();
    if (s.attesa || !ciclo || !ciclo->inherits("QEventDispatcherGlib"))
        return false;
    GMainContext* contesto = g_main_context_default();
    s.scrivi = std::move(scrivi);
    s.attesa = g_main_context_get_poll_func(contesto);
    g_main_context_set_poll_func(contesto, sondaggio);
    qApp->installEventFilter(new SpiaPittura(qApp));
    return true;
}

} // namespace SpiaFotogrammi
