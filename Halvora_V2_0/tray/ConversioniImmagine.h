#pragma once

#include "Conversione.h"
#include "Interruzione.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

// Image converters: one image re-encoded, and images into one PDF. Each
// writes into `cartella` under a name that replaces nothing, returns the
// new file's path or nothing, and never reports an error otherwise.
namespace ConversioniImmagine {

// The first frame of `sorgente` as JPEG (on white), PNG, or scaled in the
// source's own type (PNG when that type cannot be written) under the stem
// with "-ridotta".
std::optional<QString> converti(const QString& sorgente, const Conversione& con, const QString& cartella);
// Encodes `immagine` as HEIC at `percorso`; false when no HEVC encoder is installed or encoding fails.
bool scriviHeic(const QImage& immagine, const QString& percorso);
// Both dimensions times `fattore`, truncated, at least 1; invalid for a factor that is not positive.
QSize dimensioneScalata(QSize dimensione, double fattore);
std::optional<QImage> scalaImmagine(const QImage& immagine, double fattore);
// One page per readable image, in order, each as large as the picture (a
// pixel a point; larger pictures are read scaled down to the pixel cap);
// nothing when no image could be read. With a PDF written, `nonLette`
// counts the images left out.
std::optional<QString> immaginiInPDF(const QStringList& immagini, const QString& cartella, const QString& base,
                                     const Interruzione& stop, int* nonLette = nullptr);

} // namespace ConversioniImmagine
