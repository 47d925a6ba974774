#pragma once

#include <QRectF>
#include <functional>

class QPainter;

// Paints with `disegna` over `area` (the painter's coordinates) a band of at
// most `righe` device lines at a time, each clipped to its band. Qt's
// raster engine hands any fill it meets on 96 lines or more (a scaled or
// clipped picture, a filled shape) to its thread pool, whose threads would
// then wake with every frame of an animation; in bands no thread wakes.
// A clip with curved edges cuts each line into several pieces: give it
// fewer lines a band.
void disegnaInBande(QPainter& p, const QRectF& area, int righe, const std::function<void()>& disegna);
