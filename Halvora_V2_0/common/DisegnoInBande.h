#pragma once

#include <QImage>
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

// Copies `immagine` with its top left at `dove`, unscaled, one rectangle of
// the region being painted at a time. Painting a region of several
// rectangles, Qt clips each line into pieces and hands a copy of 96 lines
// or more to its thread pool; a rectangle at a time the copy stays a plain
// copy. Falls back to one copy under a rotating or shearing transform.
void copiaImmagine(QPainter& p, const QPointF& dove, const QImage& immagine);

// A transparent picture `lato` points across, at `dpr` device pixels a point:
// what the pictures a frame is copied from are drawn into.
QImage immagineTrasparente(const QSizeF& lato, qreal dpr);
