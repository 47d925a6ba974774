#pragma once

#include "FrontApplication.h"

class X11Desktop;
class DesktopEntries;

// Front application from _NET_ACTIVE_WINDOW: its pid, WM_CLASS and
// executable matched to a desktop entry.
class X11FrontApplication final : public FrontApplication {
    Q_OBJECT
public:
    X11FrontApplication(X11Desktop& desktop, const DesktopEntries& voci, QObject* parent = nullptr);
    std::optional<AppInfo> current() const override;

private:
    X11Desktop& desktop_;
    const DesktopEntries& voci_;
};
