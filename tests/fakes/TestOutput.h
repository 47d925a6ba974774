#pragma once

#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QWidget>

// Where tests leave pictures for a reviewer: $HALVORA_TEST_OUTPUT, else
// a folder under the system's temporary folder.
inline QString cartellaOutputTest()
{
    QString c = qEnvironmentVariable("HALVORA_TEST_OUTPUT");
    if (c.isEmpty())
        c = QDir::temp().filePath(QStringLiteral("halvora-test-output"));
    QDir().mkpath(c);
    return c;
}

// The largest difference of one channel between two pictures of a size.
inline int scartoMassimo(const QImage& a, const QImage& b)
{
    int massimo = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            massimo = std::max({massimo, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return massimo;
}

// Saves `img` as <output>/<nome>.png and returns it.
inline QImage salvaImmagine(const QImage& img, const QString& nome)
{
    img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
    return img;
}

// Renders a widget to <output>/<nome>.png and returns the image.
inline QImage salvaRender(QWidget& w, const QString& nome)
{
    return salvaImmagine(w.grab().toImage(), nome);
}

// The part `zona` of a widget over an opaque `fondo`, so that what it leaves
// translucent shows as it would on that backdrop; saved as salvaImmagine does.
inline QImage salvaSuFondo(QWidget& w, const QRect& zona, const QColor& fondo, const QString& nome)
{
    QImage img(zona.size(), QImage::Format_ARGB32);
    img.fill(fondo);
    QPainter p(&img);
    p.drawImage(0, 0, w.grab(zona).toImage());
    p.end();
    return salvaImmagine(img, nome);
}
