#include "SystemClock.h"

#include <QTimer>
#include <cmath>

namespace {

constexpr double kUnGiorno = 86400.0;

class QtTask final : public TimerHandle::Task {
public:
    QtTask(double seconds, bool ripeti, std::function<void()> fn) : timer_(new QTimer), fn_(std::move(fn))
    {
        timer_->setSingleShot(!ripeti);
        // Short rules (0.04 s drag watch, 0.18 s collapse) need the precise timer.
        timer_->setTimerType(seconds < 2.0 ? Qt::PreciseTimer : Qt::CoarseTimer);
        timer_->setInterval(static_cast<int>(std::llround(seconds * 1000.0)));
        QObject::connect(timer_, &QTimer::timeout, [this] {
            // Copy first: the callback may cancel or destroy its own handle.
            auto fn = fn_;
            if (timer_->isSingleShot())
                fn_ = nullptr;
            if (fn)
                fn();
        });
        timer_->start();
    }
    ~QtTask() override
    {
        // The task may be released from inside its own timeout.
        timer_->disconnect();
        timer_->stop();
        timer_->deleteLater();
    }
    void cancel() override
    {
        timer_->stop();
        fn_ = nullptr;
    }
    bool isActive() const override { return timer_->isActive(); }

private:
    QTimer* timer_;
    std::function<void()> fn_;
};

} // namespace

double limitaIntervallo(double seconds)
{
    if (!std::isfinite(seconds))
        return seconds > 0 ? kUnGiorno : 0.0;
    return std::clamp(seconds, 0.0, kUnGiorno);
}

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}

SystemClock::SystemClock() { avvio_.start(); }

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

double SystemClock::monotonic() const { return avvio_.nsecsElapsed() / 1e9; }

TimerHandle SystemClock::singleShot(double seconds, std::function<void()> fn)
{
    return avvia(seconds, false, std::move(fn));
}

TimerHandle SystemClock::repeating(double seconds, std::function<void()> fn)
{
    return avvia(seconds, true, std::move(fn));
}

TimerHandle SystemClock::avvia(double seconds, bool ripeti, std::function<void()> fn)
{
    double intervallo = limitaIntervallo(seconds);
    if (ripeti)
        intervallo = std::max(intervallo, 0.001); // a zero repeat would spin the event loop
    return TimerHandle(std::make_shared<QtTask>(intervallo, ripeti, std::move(fn)));
}
