#pragma once

#include <functional>
#include <memory>

class QThread;
struct _GMainContext;
struct _GMainLoop;

// Where blocking store work runs: one job at a time, in order, away from
// the GUI thread. Jobs post their results back themselves.
class CodaArchivio {
public:
    virtual ~CodaArchivio() = default;
    virtual void accoda(std::function<void()> lavoro) = 0;
};

// A queue on a worker thread of its own, which runs a GLib main loop on a
// context of its own, pushed as the thread's default: the desktop's calendar
// store delivers its live views there, never on the GUI thread. Destroying
// it runs the jobs already queued first, so a write asked for just before
// quitting is not lost.
class CodaThread final : public CodaArchivio {
public:
    explicit CodaThread(const char* nome = "Halvora.Calendario");
    ~CodaThread() override;
    void accoda(std::function<void()> lavoro) override;

private:
    _GMainContext* contesto_;
    _GMainLoop* ciclo_;
    std::unique_ptr<QThread> thread_;
};
