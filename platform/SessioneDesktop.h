#pragma once

#include <QStringList>
#include <memory>

class Pasteboard;
class StatoDesktop;
class TastoGlobale;

// The kind of desktop session the application runs in, and the backends
// that serve it: the X server's own where it sees everything (an X11
// session), the compositor's channels where a Wayland session offers them.
namespace SessioneDesktop {

enum class Tipo {
    x11,     // no Wayland compositor: the X server sees every window
    sway,    // sway's IPC is there
    kde,     // Plasma: KWin's scripting and kglobalaccel
    gnome,   // GNOME Shell: custom shortcuts; nothing told of windows
    wayland, // another compositor
};

// From the environment the session gave the application.
Tipo tipo();

// The clipboard: the compositor's data control where it offers it, else the X server's.
std::unique_ptr<Pasteboard> creaPasteboard();
// The hot key; `comando` is what the desktop runs where it binds keys to commands.
std::unique_ptr<TastoGlobale> creaTastoGlobale(const QStringList& comando);
// Full screen and workspaces from the compositor; none where only the X server tells.
std::unique_ptr<StatoDesktop> creaStatoDesktop();
// The room a compositor's own panels leave, where it tells X11 programs
// nothing of it and is known (Weston's); none elsewhere.
std::unique_ptr<StatoDesktop> creaAreeDiLavoro();

} // namespace SessioneDesktop
