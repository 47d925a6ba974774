#pragma once

#include <QObject>
#include <optional>

// The application whose window is active. Its desktop-file id stands where
// the original uses a bundle identifier.
struct AppInfo {
    QString desktopId; // empty when no desktop entry matches the window
    QString nome;      // the entry's Name=, else the window class
    qint64 pid = 0;
    // The id the window gives its application itself, where the desktop
    // tells it (a native window's app id); empty otherwise.
    QString idFinestra;
};

class FrontApplication : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The front application, or nothing when no window is active.
    virtual std::optional<AppInfo> current() const = 0;
    // The front application's id, or an empty text.
    QString currentId() const
    {
        auto a = current();
        return a ? a->desktopId : QString();
    }

signals:
    // Another application became active.
    void changed();
};
