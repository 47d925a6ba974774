#pragma once

#include <atomic>

// Raised when long work should give up (the application is quitting);
// workers look at it between their steps.
class Interruzione {
public:
    bool richiesta() const { return richiesta_.load(std::memory_order_relaxed); }
    void richiedi() { richiesta_.store(true, std::memory_order_relaxed); }

private:
    std::atomic_bool richiesta_{false};
};
