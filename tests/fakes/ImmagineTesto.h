#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>

// Black lines of text on white, as a page photo or a scan would show them.
inline QImage immagineTesto(const QStringList& righe, int pixel = 48)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixel);
    QImage im(pixel * 24, pixel * 2 * (int(righe.size()) + 1), QImage::Format_RGB32);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setFont(f);
    p.setPen(Qt::black);
    for (int i = 0; i < righe.size(); ++i)
        p.drawText(pixel, pixel * 2 * (i + 1), righe[i]);
    return im;
}
