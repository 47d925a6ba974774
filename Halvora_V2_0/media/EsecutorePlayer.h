#pragma once

#include "Clock.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <map>
#include <memory>
#include <optional>

// One worker thread that runs the blocking player calls one at a time, in
// order, each with a time-out: the caller hears exactly once, on the GUI
// thread, with the result or with nothing when the time-out came first. A
// call that outlives its time-out still runs to its end (later calls wait
// behind it) and its result is dropped. Nothing is delivered once the
// executor is gone.
class EsecutorePlayer : public QObject {
    Q_OBJECT
public:
    // `nome` names the worker thread.
    explicit EsecutorePlayer(Clock& clock, QObject* parent = nullptr,
                             const QString& nome = QStringLiteral("Halvora.MediaManager.appleScriptQueue"));
    ~EsecutorePlayer() override;

    template <class T>
    void esegui(std::function<std::optional<T>()> lavoro, double attesa, std::function<void(std::optional<T>)> fatto)
    {
        const quint64 id = ++prossimo_;
        auto consegna = [this, id, fatto = std::move(fatto)](std::optional<T> r) {
            auto it = attese_.find(id);
            if (it == attese_.end())
                return; // already delivered
            attese_.erase(it);
            if (fatto)
                fatto(std::move(r));
        };
        attese_.emplace(id, clock_.singleShot(attesa, [consegna] { consegna(std::nullopt); }));
        QMetaObject::invokeMethod(lavoratore_, [this, lavoro = std::move(lavoro), consegna]() mutable {
            std::optional<T> r = lavoro();
            QMetaObject::invokeMethod(this, [consegna, r = std::move(r)]() mutable { consegna(std::move(r)); },
                                      Qt::QueuedConnection);
        });
    }
    // A call whose result nobody waits for.
    void esegui(std::function<void()> lavoro);
    // From inside a call: runs `fatto` on the GUI thread, unless the
    // executor is gone by then.
    void inoltra(std::function<void()> fatto);

    // Calls whose result has not been delivered yet.
    int inAttesa() const { return int(attese_.size()); }

private:
    Clock& clock_;
    QThread thread_;
    QObject* lavoratore_;
    quint64 prossimo_ = 0;
    std::map<quint64, TimerHandle> attese_;
};
