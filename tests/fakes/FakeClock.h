#pragma once

#include "Clock.h"

#include <vector>

// Manual clock: time moves only through advance(), which runs every task
// that falls due, in order of due time, with now() set to that time.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime inizio = QDateTime(QDate(2026, 3, 2), QTime(9, 0), Qt::LocalTime));

    QDateTime now() const override;
    double monotonic() const override { return trascorso_; }
    TimerHandle singleShot(double seconds, std::function<void()> fn) override;
    TimerHandle repeating(double seconds, std::function<void()> fn) override;

    void advance(double seconds);
    void setNow(const QDateTime& quando); // jumps the wall clock without running tasks
    int pending() const;                  // tasks still scheduled
    // Seconds from now to the next due task, or -1 when none is scheduled.
    double nextDue() const;

    struct Voce;

private:
    TimerHandle aggiungi(double seconds, double ripeti, std::function<void()> fn);

    QDateTime inizio_;
    double trascorso_ = 0;
    qint64 sequenza_ = 0;
    std::vector<std::shared_ptr<Voce>> voci_;
};
