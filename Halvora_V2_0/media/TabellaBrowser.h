#pragma once

#include <QString>
#include <optional>

// The supported web browsers by desktop id, the one list that says whether
// a now-playing entry belongs to a browser.
namespace TabellaBrowser {

enum class Famiglia { chromium, firefox };

inline std::optional<Famiglia> famiglia(const QString& desktopId)
{
    static const QString chromium[] = {QStringLiteral("google-chrome"), QStringLiteral("chromium"),
                                       QStringLiteral("brave-browser"), QStringLiteral("microsoft-edge"),
                                       QStringLiteral("vivaldi-stable")};
    static const QString firefox[] = {QStringLiteral("firefox"), QStringLiteral("firefox-esr")};
    for (const QString& id : chromium)
        if (desktopId == id)
            return Famiglia::chromium;
    for (const QString& id : firefox)
        if (desktopId == id)
            return Famiglia::firefox;
    return std::nullopt;
}

inline bool contiene(const QString& desktopId) { return famiglia(desktopId).has_value(); }

} // namespace TabellaBrowser
