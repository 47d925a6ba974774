#pragma once

#include "SchedaChiusa.h"
#include "Simboli.h"

#include <QPainter>
#include <QPainterPath>

// Colours, fonts and small drawing helpers of the calendar tab, on the dark
// notch; the colours and fonts are the cards' own.
namespace StileAgenda {
using AspettoScheda::conOpacita;
using AspettoScheda::primario;
using AspettoScheda::riga;
using AspettoScheda::secondario;

using AspettoScheda::terziario;
// The faint fill of rows, capsules and the composer's material.
inline QColor velo(double opacita = 0.08) { return primario(opacita); }

inline QFont carattere(int pixel, QFont::Weight peso = QFont::Normal) { return AspettoScheda::carattere(pixel, peso); }
// Times and due texts: digits keep their place from row to row.
inline QFont mono(int pixel, QFont::Weight peso = QFont::Medium) { return AspettoScheda::carattere(pixel, peso, true); }

inline void riempiArrotondato(QPainter& p, const QRectF& r, qreal raggio, const QColor& colore)
{
    QPainterPath forma;
    forma.addRoundedRect(r, raggio, raggio);
    p.fillPath(forma, colore);
}
inline void riempiCapsula(QPainter& p, const QRectF& r, const QColor& colore)
{
    riempiArrotondato(p, r, r.height() / 2, colore);
}
// A symbol of side `lato` centred on `centro`.
inline void disegnaSimbolo(QPainter& p, const QString& nome, int lato, const QColor& colore, QPointF centro)
{
    const qreal dpr = p.device()->devicePixelRatioF();
    p.drawPixmap(QPointF(centro.x() - lato / 2.0, centro.y() - lato / 2.0), Simboli::pixmap(nome, lato, colore, dpr));
}
} // namespace StileAgenda
