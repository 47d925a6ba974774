#pragma once

#include "Simboli.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

// Colours, fonts and small drawing helpers of the calendar tab, on the dark notch.
namespace StileAgenda {
inline QColor primario() { return QColor(255, 255, 255); }
inline QColor secondario() { return QColor(255, 255, 255, 150); }
inline QColor terziario() { return QColor(255, 255, 255, 90); }
// The faint fill of rows, capsules and the composer's material.
inline QColor velo(qreal opacita = 0.08) { return QColor(255, 255, 255, int(255 * opacita)); }
inline QColor conOpacita(QColor c, qreal opacita)
{
    c.setAlphaF(opacita);
    return c;
}

inline QFont carattere(int pixel, QFont::Weight peso = QFont::Normal)
{
    QFont f;
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}
// Times and due texts: digits keep their place from row to row.
inline QFont mono(int pixel, QFont::Weight peso = QFont::Medium)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(pixel);
    f.setWeight(peso);
    return f;
}

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
