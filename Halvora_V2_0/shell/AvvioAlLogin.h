#pragma once

#include <QString>
#include <optional>

// The application's login item: whether the desktop starts it at login.
class AvvioAlLogin {
public:
    virtual ~AvvioAlLogin() = default;

    // True when the item exists and is enabled.
    virtual bool registrato() const = 0;
    // Registers the item; the system's error text on failure.
    virtual std::optional<QString> registra() = 0;
    // Removes the item; the system's error text on failure.
    virtual std::optional<QString> annullaRegistrazione() = 0;
};
