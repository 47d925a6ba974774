#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Whether the X display can be opened, asked before the toolkit opens it:
// when it cannot, the toolkit only aborts with advice that does not apply.
namespace AperturaDisplay {

// Why the display named `display` (the DISPLAY variable) cannot be opened,
// in one line: none set, nothing answering there, or a server that refuses
// this user. None when it opens.
std::optional<QString> ostacolo(const QByteArray& display);

} // namespace AperturaDisplay
