#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

// Decodes the first frame of an image file: whatever Qt's image plugins
// read, and HEIC/HEIF photos through libheif. Pixels only: no metadata,
// no orientation tag applied. Larger pictures than kPixelMassimi are refused
// before any pixel is decoded.
class LettoreImmagine {
public:
    // 8192 x 8192: at four bytes a pixel, Qt's own allocation limit.
    static constexpr qint64 kPixelMassimi = qint64(8192) * 8192;

    struct Immagine {
        QImage immagine;
        // The source's format as Qt names it ("jpeg", "png", "gif", ...), "heif" for HEIC/HEIF.
        QByteArray formato;
    };

    static std::optional<Immagine> leggi(const QString& percorso);
};
