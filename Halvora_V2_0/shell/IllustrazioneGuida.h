#pragma once

#include "NotchStateManager.h"

#include <QRectF>
#include <array>
#include <optional>

class QPainter;

// The pictures above the guide's titles, each fitted into a band 40 pixels
// high: the row of module symbols, the closed notch with a card under it,
// the two usage rings of the agents, and the gear beside the power button.
namespace IllustrazioneGuida {

inline constexpr double kAltezza = 40;

enum class Tipo { moduli, sottoTacca, agenti, impostazioni };

// Which picture a page shows; pages outside 8 to 10 show the module row.
Tipo tipoPagina(int pagina);

// How much each symbol of the row stands out (0 dimmed, 1 highlighted),
// in the declaration order of NotchTab.
using Evidenza = std::array<double, std::size(kTutteLeSchede)>;
// Page 0 highlights every module, a module's page only its own.
Evidenza evidenzaPagina(int pagina, std::optional<NotchTab> modulo);

// Draws one picture centred in `area` at `opacita`.
void disegna(QPainter& p, Tipo tipo, const QRectF& area, const Evidenza& evidenza, double opacita);

} // namespace IllustrazioneGuida
