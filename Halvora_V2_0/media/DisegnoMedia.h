#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// Small drawing pieces the media views share.
namespace DisegnoMedia {

// The interface font at a pixel size and weight.
QFont carattere(double pixel, QFont::Weight peso, bool monospazio = false);
// A symbol of about `lato` pixels centred in `dove`.
void simbolo(QPainter& p, const QString& nome, const QRectF& dove, double lato, const QColor& colore);
// One line of text in `dove`: shrunk down to `scalaMinima` of its size
// before the tail is cut with an ellipsis.
void testoRiga(QPainter& p, const QString& testo, const QRectF& dove, QFont f, const QColor& colore,
               double scalaMinima = 1.0, Qt::Alignment allinea = Qt::AlignLeft | Qt::AlignVCenter);
// The artwork stretched into a rounded tile, or `nullptr` image: false.
bool copertina(QPainter& p, const QImage& immagine, const QRectF& dove, double raggio);
// A capsule of a symbol and a text: its size for the given font and padding.
QSizeF misuraPillola(const QString& simbolo, const QString& testo, const QFont& f, double padX, double padY);
void pillola(QPainter& p, const QRectF& dove, const QString& simbolo, const QString& testo, const QFont& f,
             double padX, const QColor& colore, const QColor& sfondo);
// A diagonal gradient of the tint, from opacity `da` at the top-left to
// `a` at the bottom-right, filling `forma`.
void velaTinta(QPainter& p, const QPainterPath& forma, const QColor& tinta, double da, double a);
// The colour blended towards `altro` by `frazione`.
QColor mescola(const QColor& a, const QColor& b, double frazione);

} // namespace DisegnoMedia
