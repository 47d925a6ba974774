#pragma once

#include "ContrattoCattura.h"

#include <QFont>
#include <QRect>
#include <QSize>

class QPainter;

// The SCREENSHOT label and its three capture buttons at the foot of the
// tray tab: laid out from the tab's bottom edge, drawn on its painter.
namespace BarraScreenshotVassoio {

// The label, in a tab of `dimensione` drawn with `base`.
QRect etichetta(const QFont& base, const QSize& dimensione);
// The button of `modo`: three equal buttons across the width, the last one
// taking the rounding.
QRect bottone(ScreenshotMode modo, const QFont& base, const QSize& dimensione);
// What the bar takes from the tab's height, the spacing above the label included.
int altezza(const QFont& base);
void disegna(QPainter& p, const QFont& base, const QSize& dimensione);

} // namespace BarraScreenshotVassoio
