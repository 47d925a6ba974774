#pragma once

#include <QByteArray>
#include <functional>
#include <optional>

// Fetches the update feed document.
class LettoreFeed {
public:
    virtual ~LettoreFeed() = default;
    // Starts one request; `fine` is called once, on the caller's thread,
    // with the body, or none when nothing readable came back.
    virtual void richiedi(std::function<void(std::optional<QByteArray> corpo)> fine) = 0;
};
