#pragma once

#include <QColor>
#include <QImage>
#include <optional>

// The accent colour of an artwork: the saturation-weighted average of a
// 12 by 12 reduction, kept lively (saturation 0.5…0.9 unless grey) and
// neither too dark nor too bright (brightness 0.42…0.72).
std::optional<QColor> coloreDaCopertina(const QImage& immagine);
