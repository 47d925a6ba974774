#include "ColoreCopertina.h"

#include <QPainter>
#include <algorithm>

std::optional<QColor> coloreDaCopertina(const QImage& immagine)
{
    if (immagine.isNull())
        return std::nullopt;
    QImage piccola(12, 12, QImage::Format_ARGB32_Premultiplied);
    piccola.fill(Qt::transparent);
    {
        QPainter p(&piccola);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, 12, 12), immagine);
    }
    double sr = 0, sg = 0, sb = 0, sw = 0;
    for (int y = 0; y < 12; ++y) {
        const QRgb* riga = reinterpret_cast<const QRgb*>(piccola.constScanLine(y));
        for (int x = 0; x < 12; ++x) {
            // Premultiplied: a transparent pixel reads as black.
            const double r = qRed(riga[x]) / 255.0, g = qGreen(riga[x]) / 255.0, b = qBlue(riga[x]) / 255.0;
            const double massimo = std::max({r, g, b}), minimo = std::min({r, g, b});
            const double w = massimo == 0 ? 0.08 : (massimo - minimo) / massimo + 0.08;
            sr += r * w;
            sg += g * w;
            sb += b * w;
            sw += w;
        }
    }
    if (!(sw > 0))
        return std::nullopt;
    const QColor media = QColor::fromRgbF(float(sr / sw), float(sg / sw), float(sb / sw));
    const double tono = std::max(0.0, double(media.hsvHueF())); // grey has no hue: Qt says -1
    double saturazione = media.hsvSaturationF();
    if (saturazione >= 0.1)
        saturazione = std::clamp(saturazione, 0.5, 0.9);
    const double luminosita = std::clamp(double(media.valueF()), 0.42, 0.72);
    return QColor::fromHsvF(float(tono), float(saturazione), float(luminosita));
}
