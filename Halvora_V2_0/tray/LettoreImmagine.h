#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// Decodes the first frame of an image file: whatever Qt's image plugins
// read, and HEIC/HEIF photos through libheif. Pixels only: no metadata,
// no orientation tag applied.
//
// A picture is decoded at its own size only within an allocation limit:
// kByteMassimi of pixels (four bytes a pixel), and no more than half the
// memory the system has available at that moment. A larger one is read
// scaled down instead where the caller takes that (a JPEG decodes scaled
// at little cost); otherwise it is not read. Qt's own limit on what one
// image may allocate, which holds for the whole process, is raised to
// kByteMassimi at the first read.
class LettoreImmagine {
public:
    // 1 GiB: a 16384 x 16384 picture.
    static constexpr qint64 kByteMassimi = qint64(1) << 30;
    // What pictures scaled down to fit are held under, PDF pages among them.
    static constexpr qint64 kPixelMassimi = qint64(8192) * 8192;

    struct Immagine {
        QImage immagine;
        // The source's format as Qt names it ("jpeg", "png", "gif", ...), "heif" for HEIC/HEIF.
        QByteArray formato;
    };

    // At its own size.
    static std::optional<Immagine> leggi(const QString& percorso);
    // Scaled down, keeping its proportions, to at most `pixel` pixels; a smaller one as it is.
    static std::optional<Immagine> leggiEntro(const QString& percorso, qint64 pixel = kPixelMassimi);
    // At exactly `dimensione`.
    static std::optional<Immagine> leggiA(const QString& percorso, QSize dimensione);
    // The size the file declares; invalid when it tells none.
    static QSize dimensione(const QString& percorso);
    // Whether `pixel` pixels may be decoded now.
    static bool entraInMemoria(qint64 pixel);
};
