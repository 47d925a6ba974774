#pragma once

#include "VociZip.h"

#include <optional>
#include <string>

// Unpacks a ZIP package into a folder, writing every entry itself: folders
// made and files created relative to the folder, never following a link and
// never replacing what is there, so no entry can land outside it. The first
// entry that breaks a rule or a bound stops the whole run.
namespace Scompattatore {

// The reason it stopped, or none once every entry is written. `zip` and
// `cartella` are descriptors open for reading and on a folder.
std::optional<std::string> scompatta(int zip, int cartella, VociZip::Limiti limiti);

} // namespace Scompattatore
