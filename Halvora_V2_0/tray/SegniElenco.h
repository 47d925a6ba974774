#pragma once

#include <QString>

// The markers of list paragraphs, as word processors number them.
namespace SegniElenco {

enum class Numerazione { decimale, decimaleDueCifre, romanaMaiuscola, romanaMinuscola, letteraMaiuscola, letteraMinuscola, nessuna };

// `n` in the numbering: 4, "iv", "IV", "d", "D"; letters go on as aa, bb after z.
QString numero(Numerazione numerazione, int n);
// A bullet as a page can show it: symbol fonts' private characters become
// a plain bullet, control characters go; nothing left is a plain bullet.
QString punto(const QString& testo);

} // namespace SegniElenco
