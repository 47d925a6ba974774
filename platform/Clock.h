#pragma once

#include <QDateTime>
#include <functional>
#include <memory>

// A pending one-shot or repeating task of a Clock. Destroying or cancelling
// the handle guarantees the task never runs again, so an owner that holds
// its timers as members needs no weak references to itself.
class TimerHandle {
public:
    struct Task {
        virtual ~Task() = default;
        virtual void cancel() = 0;
        virtual bool isActive() const = 0;
    };

    TimerHandle() = default;
    explicit TimerHandle(std::shared_ptr<Task> task) : task_(std::move(task)) {}
    ~TimerHandle() { cancel(); }
    TimerHandle(TimerHandle&& o) noexcept : task_(std::move(o.task_)) {}
    TimerHandle& operator=(TimerHandle&& o) noexcept
    {
        if (this != &o) {
            cancel();
            task_ = std::move(o.task_);
        }
        return *this;
    }
    TimerHandle(const TimerHandle&) = delete;
    TimerHandle& operator=(const TimerHandle&) = delete;

    void cancel()
    {
        if (task_) {
            task_->cancel();
            task_.reset();
        }
    }
    bool isActive() const { return task_ && task_->isActive(); }
    explicit operator bool() const { return isActive(); }

private:
    std::shared_ptr<Task> task_;
};

// Time and scheduling on the GUI thread. Logic that waits, repeats or reads
// "now" takes a Clock so tests drive it with a manual fake.
class Clock {
public:
    virtual ~Clock() = default;

    // Wall-clock time.
    virtual QDateTime now() const = 0;
    // Steady seconds since an arbitrary origin, for measuring intervals.
    virtual double monotonic() const = 0;

    // Runs `fn` once, `seconds` from now, on the GUI thread.
    [[nodiscard]] virtual TimerHandle singleShot(double seconds, std::function<void()> fn) = 0;
    // Runs `fn` every `seconds` until the handle is cancelled.
    [[nodiscard]] virtual TimerHandle repeating(double seconds, std::function<void()> fn) = 0;

    // The process-wide real clock.
    static Clock& system();
};

// A delay or interval clamped to what a timer can hold: not-a-number and
// negative values become 0, anything past a day becomes a day.
double limitaIntervallo(double seconds);
