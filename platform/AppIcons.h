#pragma once

#include <QHash>
#include <QIcon>
#include <functional>
#include <optional>

class DesktopEntries;

// Application icons by desktop-file id, through the entry's Icon= and the
// icon theme. Answers, misses included, are cached for the whole run.
class AppIcons {
public:
    using Sorgente = std::function<const DesktopEntries&()>;
    explicit AppIcons(Sorgente voci);

    std::optional<QIcon> icona(const QString& id);

    static AppIcons& shared();

private:
    Sorgente voci_;
    QHash<QString, std::optional<QIcon>> cache_;
};
