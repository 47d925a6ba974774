#include "SessioneDesktop.h"

#include "DesktopKWin.h"
#include "DesktopSway.h"
#include "DesktopWeston.h"
#include "SwayIpc.h"
#include "TastoGnome.h"
#include "TastoKGlobalAccel.h"
#include "TastoSway.h"
#include "WaylandPasteboard.h"
#include "X11Pasteboard.h"
#include "X11TastoGlobale.h"

SessioneDesktop::Tipo SessioneDesktop::tipo()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return Tipo::x11;
    if (!SwayIpc::socket().isEmpty())
        return Tipo::sway;
    const QStringList desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    if (desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive))
        return Tipo::kde;
    if (desktop.contains(QLatin1String("GNOME"), Qt::CaseInsensitive))
        return Tipo::gnome;
    return Tipo::wayland;
}

std::unique_ptr<Pasteboard> SessioneDesktop::creaPasteboard()
{
    const Tipo t = tipo();
    // GNOME offers no data control, and passes copies between X11 and native programs itself.
    if (t != Tipo::x11 && t != Tipo::gnome) {
        auto wayland = std::make_unique<WaylandPasteboard>();
        if (wayland->attivo())
            return wayland;
    }
    return std::make_unique<X11Pasteboard>();
}

std::unique_ptr<TastoGlobale> SessioneDesktop::creaTastoGlobale(const QStringList& comando)
{
    switch (tipo()) {
    case Tipo::sway:
        return std::make_unique<TastoSway>(SwayIpc::socket(), comando);
    case Tipo::kde:
        return std::make_unique<TastoKGlobalAccel>();
    case Tipo::gnome:
        return std::make_unique<TastoGnome>(comando);
    case Tipo::x11:
    case Tipo::wayland:
        // Elsewhere the X server sees the keys while an X11 window has focus.
        break;
    }
    return std::make_unique<X11TastoGlobale>();
}

std::unique_ptr<StatoDesktop> SessioneDesktop::creaStatoDesktop()
{
    switch (tipo()) {
    case Tipo::sway:
        return std::make_unique<DesktopSway>(SwayIpc::socket());
    case Tipo::kde:
        return std::make_unique<DesktopKWin>();
    default:
        return nullptr;
    }
}

std::unique_ptr<StatoDesktop> SessioneDesktop::creaAreeDiLavoro()
{
    if (tipo() == Tipo::wayland && DesktopWeston::inEsecuzione())
        return std::make_unique<DesktopWeston>();
    return nullptr;
}
