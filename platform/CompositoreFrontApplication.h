#pragma once

#include "FrontApplication.h"

class DesktopEntries;
class StatoDesktop;

// The front application as the compositor tells it, native windows
// included (sway's focused window, KWin's active one): its app id matched
// to a desktop entry. Where the compositor tells nothing, the X server's
// answer (`x11`), which knows only XWayland's windows.
class CompositoreFrontApplication final : public FrontApplication {
    Q_OBJECT
public:
    CompositoreFrontApplication(StatoDesktop& compositore, FrontApplication& x11, const DesktopEntries& voci,
                                QObject* parent = nullptr);
    std::optional<AppInfo> current() const override;

private:
    StatoDesktop& compositore_;
    FrontApplication& x11_;
    const DesktopEntries& voci_;
};
