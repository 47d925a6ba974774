#pragma once

#include "ControlloBrowser.h"

#include <QString>
#include <QUrl>
#include <optional>

// The rules of the notch video that are plain functions: titles, the
// video service's addresses and which tab plays a sample.
namespace RegoleVideoNotch {

// The tab chosen for a now-playing sample.
struct SceltaBrowser {
    SchedaBrowser scheda;
    double tempo = 0;        // the tab's media position
    bool altreFerme = true;  // every other matching tab is paused
    bool apribile = false;   // the tab's address gives a video id
};

// Lower case, trimmed, without invisible format marks, a leading "(3) "
// counter and a " - YouTube" or " - YouTube Music" suffix.
QString pulisciTitolo(const QString& titolo);
// The 11-character video id of a watch or short-link address over http(s);
// hosts are the service's domains and their subdomains only.
std::optional<QString> idVideoYouTube(const QString& url);
// The watch page of `id` at `secondi` (whole seconds; non-finite or negative is 0).
QUrl urlGuarda(const QString& id, double secondi);
// The host of an address without a leading "www.".
QString host(const QString& url);

// The tab that plays the sample titled `titolo`. The browser's player
// (`media`) tells what plays: a tab matches it by address or video id, or
// by title when the player gives no address (or by the id of the address
// a player shows for a page without a title). Among the matching tabs (in
// the order: active with a video id, with an id, active, the rest) the
// sample's title, then the active tab, then the first decides.
std::optional<SceltaBrowser> scegliScheda(const QList<SchedaBrowser>& schede, const std::optional<MediaBrowser>& media,
                                          const QString& titolo);
// A tab with a video id whose title matches `titolo` (equal, containing or
// contained), asking nothing; an empty title never matches.
std::optional<SchedaBrowser> schedaPerTitolo(const QList<SchedaBrowser>& schede, const QString& titolo);

} // namespace RegoleVideoNotch
