#pragma once

#include "LettoreFeed.h"

#include <QTest>
#include <functional>
#include <optional>

// Holds each feed request until the test answers it.
struct LettoreFeedFinto final : LettoreFeed {
    int richieste = 0;
    std::function<void(std::optional<QByteArray>)> fine;
    void richiedi(std::function<void(std::optional<QByteArray>)> f) override
    {
        ++richieste;
        fine = std::move(f);
    }
    void rispondi(std::optional<QByteArray> corpo)
    {
        auto f = std::exchange(fine, nullptr);
        QVERIFY(f);
        f(std::move(corpo));
    }
};
