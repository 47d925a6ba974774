#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

class QHelpEvent;
class QIcon;
class QWidget;

// Colours and small drawing helpers shared by the tray tab and its rows.
namespace TrayDisegno {

// The secondary text colour on the notch's dark background.
inline QColor secondario(qreal opacita = 1.0) { return QColor(235, 235, 245, int(153 * opacita)); }

// `colore` with its alpha multiplied by `opacita`.
inline QColor conOpacita(QColor colore, qreal opacita)
{
    colore.setAlphaF(colore.alphaF() * opacita);
    return colore;
}

// `base` at `pixel` pixels and `peso`, letters spaced by `spaziatura` pixels when above 0.
QFont carattere(const QFont& base, int pixel, QFont::Weight peso, qreal spaziatura = 0);

// A symbol of the symbol table, `lato` pixels, centred in `dove`.
void simbolo(QPainter& p, const QString& nome, const QRectF& dove, int lato, const QColor& colore);

// The dashed rounded outline of a drop area (radius 16, line 2, dashes 8/4).
void bordoTratteggiato(QPainter& p, const QRectF& dove, const QColor& colore);

// Shows `testo` as the help of `w` at the event's place, or hides the help when empty.
void mostraAiuto(QWidget* w, const QHelpEvent* evento, const QString& testo);

// The icon of a file, from its MIME type and the icon theme.
QIcon iconaFile(const QString& percorso);

} // namespace TrayDisegno
