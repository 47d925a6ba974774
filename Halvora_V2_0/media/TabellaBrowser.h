#pragma once

#include <QString>
#include <optional>

// The supported web browsers by desktop id, the one list that says whether
// a now-playing entry belongs to a browser.
namespace TabellaBrowser {

enum class Famiglia { chromium, firefox };

struct Voce {
    const char* desktopId;
    Famiglia famiglia;
    const char* cartellaDati; // default profile folder under the config home; none outside Chromium's family
};

inline constexpr Voce kVoci[] = {
    {"google-chrome", Famiglia::chromium, "google-chrome"},
    {"chromium", Famiglia::chromium, "chromium"},
    {"brave-browser", Famiglia::chromium, "BraveSoftware/Brave-Browser"},
    {"microsoft-edge", Famiglia::chromium, "microsoft-edge"},
    {"vivaldi-stable", Famiglia::chromium, "vivaldi"},
    {"firefox", Famiglia::firefox, ""},
    {"firefox-esr", Famiglia::firefox, ""},
};

inline const Voce* voce(const QString& desktopId)
{
    for (const Voce& v : kVoci)
        if (desktopId == QLatin1String(v.desktopId))
            return &v;
    return nullptr;
}

inline std::optional<Famiglia> famiglia(const QString& desktopId)
{
    const Voce* v = voce(desktopId);
    return v ? std::optional<Famiglia>(v->famiglia) : std::nullopt;
}

inline bool contiene(const QString& desktopId) { return voce(desktopId) != nullptr; }

} // namespace TabellaBrowser
