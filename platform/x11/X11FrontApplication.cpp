#include "X11FrontApplication.h"

#include "DesktopEntries.h"
#include "X11Desktop.h"

#include <QFileInfo>

X11FrontApplication::X11FrontApplication(X11Desktop& desktop, const DesktopEntries& voci, QObject* parent)
    : FrontApplication(parent), desktop_(desktop), voci_(voci)
{
    connect(&desktop_, &X11Desktop::finestraAttivaCambiata, this, &FrontApplication::changed);
}

std::optional<AppInfo> X11FrontApplication::current() const
{
    const uint32_t finestra = desktop_.finestraAttiva();
    if (!finestra)
        return std::nullopt;
    AppInfo info;
    info.pid = desktop_.pid(finestra);
    const auto [istanza, classe] = desktop_.classe(finestra);
    const QString eseguibile =
        info.pid > 0 ? QFileInfo(QStringLiteral("/proc/%1/exe").arg(info.pid)).symLinkTarget() : QString();
    if (auto voce = voci_.perFinestra(istanza, classe, QFileInfo(eseguibile).fileName())) {
        info.desktopId = voce->id;
        info.nome = voce->nome;
    } else {
        info.nome = classe.isEmpty() ? istanza : classe;
    }
    return info;
}
