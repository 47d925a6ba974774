#pragma once

#include "ControlloBrowser.h"

#include <memory>
#include <mutex>

class DesktopEntries;
class X11Client;

// The browsers of this desktop: state, position, pause, play and seek
// through the browser's MPRIS player (found by the pid that owns it), the
// address from the player's xesam:url or, for the Chromium family, the
// profile's session file, the active tab from the windows' titles, sound
// from the sound server, the window by _NET_WM_PID and new tabs through
// the browser's desktop entry. Linux has no automation permission: access
// is always granted. Safe to call from several worker threads (its
// display connection, opened on first use, is xcb's and thread-safe).
class ControlloBrowserLinux final : public ControlloBrowser {
public:
    // `applicazioni` must outlive this object.
    explicit ControlloBrowserLinux(const DesktopEntries& applicazioni);
    ~ControlloBrowserLinux() override;

    PermessoAutomazione permesso(const IstanzaBrowser& b, bool chiedi) override;
    QList<SchedaBrowser> schede(const IstanzaBrowser& b) override;
    std::optional<MediaBrowser> media(const IstanzaBrowser& b) override;
    bool pausa(const IstanzaBrowser& b) override;
    bool riproduci(const IstanzaBrowser& b) override;
    bool posiziona(const IstanzaBrowser& b, double secondi) override;
    SuonoBrowser suona(const IstanzaBrowser& b) override;
    bool portaDavanti(const IstanzaBrowser& b) override;
    bool apri(const IstanzaBrowser& b, const QUrl& url) override;
    QString nome(const QString& desktopId) const override;

    // Marks as active the tabs that the browser's windows show: a window's
    // title is its active tab's title, with the browser's name after the
    // last " - ". Without any window title the session's own marks stay.
    // A tab the session gives no title (Chromium names no page reached by
    // a typed address until it is reloaded) takes what the browser shows
    // of it: the one window no named tab explains, or the title of what
    // plays (`titoloPlayer`) when that window shows it or when it is the
    // one such tab and no named tab plays.
    static void segnaAttive(QList<SchedaBrowser>& schede, const QStringList& titoliFinestre,
                            const QString& titoloPlayer = {});

private:
    X11Client& x11();
    QString nomeBus(const IstanzaBrowser& b);

    const DesktopEntries& applicazioni_;
    std::once_flag x11Aperto_;
    std::unique_ptr<X11Client> x11_;
};
