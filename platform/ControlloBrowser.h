#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// A running web browser, as the now-playing sample names it.
struct IstanzaBrowser {
    QString desktopId;
    qint64 pid = 0;       // the process that owns the browser's media player on the bus
    QString cartellaDati; // default profile folder of a Chromium-family browser, under the config
                          // home ("google-chrome"); empty for the others
};

// One open tab of a browser: 1-based window and tab positions.
struct SchedaBrowser {
    int finestra = 0;
    int scheda = 0;
    bool attiva = false; // the tab its window shows
    QString url;
    QString titolo;
    bool operator==(const SchedaBrowser&) const = default;
};

// What the browser's own media player reports of the media it plays.
struct MediaBrowser {
    QString titolo;
    QString url; // empty when the browser does not tell
    double posizione = 0;
    bool inRiproduzione = false;
};

enum class PermessoAutomazione { concesso, serveConsenso, negato };
enum class SuonoBrowser { si, no, nonSo };

// What the notch video asks of a browser. Every call blocks (bus, display,
// sound server, files): call them on one worker thread, never on the GUI
// thread. Failures answer nothing, false or "cannot tell".
class ControlloBrowser {
public:
    virtual ~ControlloBrowser() = default;

    // Whether the browser may be driven; `chiedi` may ask the user.
    virtual PermessoAutomazione permesso(const IstanzaBrowser& b, bool chiedi) = 0;
    // The browser's open tabs with a web address, in window and tab order.
    virtual QList<SchedaBrowser> schede(const IstanzaBrowser& b) = 0;
    virtual std::optional<MediaBrowser> media(const IstanzaBrowser& b) = 0;
    virtual bool pausa(const IstanzaBrowser& b) = 0;
    virtual bool riproduci(const IstanzaBrowser& b) = 0;
    // Moves the browser's media to `secondi` (finite, not negative).
    virtual bool posiziona(const IstanzaBrowser& b, double secondi) = 0;
    // Whether the browser is producing sound now.
    virtual SuonoBrowser suona(const IstanzaBrowser& b) = 0;
    // Brings one of the browser's windows to the front.
    virtual bool portaDavanti(const IstanzaBrowser& b) = 0;
    // Opens `url` in the browser (a new tab of the running one).
    virtual bool apri(const IstanzaBrowser& b, const QUrl& url) = 0;
    // The browser's display name; its desktop id when it has none. Does not block.
    virtual QString nome(const QString& desktopId) const = 0;
};
