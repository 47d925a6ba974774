#pragma once

#include <QString>

// The download mark: the extended attributes that browsers and download
// tools set on what they fetched. Every test and removal works on the entry
// itself, never on a link's target.
namespace Quarantena {

inline constexpr const char* kAttributi[] = {"user.xdg.origin.url", "user.xdg.referrer.url"};

// Whether the entry at `percorso` carries either attribute.
bool marcato(const QString& percorso);

// Removes the mark from the folder open at `cartella` and from everything
// inside it; entries that cannot be changed are passed over.
void rimuoviDaAlbero(int cartella);
// True when neither the folder nor anything inside it carries the mark
// (and the whole tree could be read).
bool alberoPulito(int cartella);

} // namespace Quarantena
