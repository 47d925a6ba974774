#pragma once

#include "TestoFormattato.h"

#include <QByteArray>
#include <optional>

// Reads a Word 97 (.doc) file through libwv: the main text and the text
// boxes, which follow it; headers, footers, notes and comments are left
// out. libwv trusts the file, so this runs in the helper process only.
namespace LettoreWord97 {

std::optional<TestoFormattato> leggi(const QByteArray& file);

} // namespace LettoreWord97
