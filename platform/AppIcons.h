#pragma once

#include <QHash>
#include <QIcon>
#include <functional>
#include <optional>

class DesktopEntries;
struct DesktopEntry;

// Application icons by desktop-file id, through the entry's Icon= and the
// icon theme. Answers, misses included, are cached for the whole run.
class AppIcons {
public:
    using Sorgente = std::function<const DesktopEntries&()>;
    explicit AppIcons(Sorgente voci);

    std::optional<QIcon> icona(const QString& id);
    // The icon an entry names, by path or from the icon theme.
    static std::optional<QIcon> iconaDi(const DesktopEntry& voce);

    static AppIcons& shared();

private:
    Sorgente voci_;
    QHash<QString, std::optional<QIcon>> cache_;
};
