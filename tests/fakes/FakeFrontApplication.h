#pragma once

#include "FrontApplication.h"

// Front application set by the test.
class FakeFrontApplication final : public FrontApplication {
    Q_OBJECT
public:
    using FrontApplication::FrontApplication;
    std::optional<AppInfo> current() const override { return app; }
    void attiva(std::optional<AppInfo> nuova)
    {
        app = std::move(nuova);
        emit changed();
    }
    void attivaId(const QString& id) { attiva(AppInfo{id, id, 1}); }

    std::optional<AppInfo> app;
};
