#pragma once

#include "Clock.h"

#include <QElapsedTimer>

// Clock backed by QTimer on the thread that schedules.
class SystemClock final : public Clock {
public:
    SystemClock();
    QDateTime now() const override;
    double monotonic() const override;
    TimerHandle singleShot(double seconds, std::function<void()> fn) override;
    TimerHandle repeating(double seconds, std::function<void()> fn) override;

private:
    TimerHandle avvia(double seconds, bool ripeti, std::function<void()> fn);
    QElapsedTimer avvio_;
};
