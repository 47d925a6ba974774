#include "AppIcons.h"

#include "DesktopEntries.h"

#include <QFileInfo>

AppIcons::AppIcons(Sorgente voci) : voci_(std::move(voci)) {}

std::optional<QIcon> AppIcons::icona(const QString& id)
{
    auto it = cache_.constFind(id);
    if (it != cache_.constEnd())
        return *it;
    std::optional<QIcon> risultato;
    if (auto voce = voci_().perId(id))
        risultato = iconaDi(*voce);
    cache_.insert(id, risultato);
    return risultato;
}

std::optional<QIcon> AppIcons::iconaDi(const DesktopEntry& voce)
{
    if (voce.icona.isEmpty())
        return std::nullopt;
    QIcon i = QFileInfo(voce.icona).isAbsolute() ? QIcon(voce.icona) : QIcon::fromTheme(voce.icona);
    if (i.isNull())
        return std::nullopt;
    return i;
}

AppIcons& AppIcons::shared()
{
    static AppIcons istanza([]() -> const DesktopEntries& {
        static const DesktopEntries voci = DesktopEntries::daSistema();
        return voci;
    });
    return istanza;
}
