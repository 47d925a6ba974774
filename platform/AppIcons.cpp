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
    if (auto voce = voci_().perId(id); voce && !voce->icona.isEmpty()) {
        QIcon i = QFileInfo(voce->icona).isAbsolute() ? QIcon(voce->icona) : QIcon::fromTheme(voce->icona);
        if (!i.isNull())
            risultato = i;
    }
    cache_.insert(id, risultato);
    return risultato;
}

AppIcons& AppIcons::shared()
{
    static AppIcons istanza([]() -> const DesktopEntries& {
        static const DesktopEntries voci = DesktopEntries::daSistema();
        return voci;
    });
    return istanza;
}
