#include "CompositoreFrontApplication.h"

#include "DesktopEntries.h"
#include "StatoDesktop.h"

#include <QFileInfo>

CompositoreFrontApplication::CompositoreFrontApplication(StatoDesktop& compositore, FrontApplication& x11,
                                                         const DesktopEntries& voci, QObject* parent)
    : FrontApplication(parent), compositore_(compositore), x11_(x11), voci_(voci)
{
    connect(&compositore_, &StatoDesktop::appAttivaCambiata, this, &FrontApplication::changed);
    connect(&x11_, &FrontApplication::changed, this, [this] {
        if (!compositore_.connesso())
            emit changed();
    });
}

std::optional<AppInfo> CompositoreFrontApplication::current() const
{
    if (!compositore_.connesso())
        return x11_.current();
    const auto attiva = compositore_.appAttiva();
    if (!attiva)
        return std::nullopt;
    AppInfo info;
    info.pid = attiva->pid;
    info.idFinestra = attiva->id;
    const QString eseguibile =
        info.pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(info.pid)).symLinkTarget() : QString();
    // An app id is meant to be the name of the application's desktop entry.
    if (auto voce = voci_.perFinestra(attiva->id, attiva->id, QFileInfo(eseguibile).fileName())) {
        info.desktopId = voce->id;
        info.nome = voce->nome;
    } else {
        info.nome = attiva->id;
    }
    return info;
}
