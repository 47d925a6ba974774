#pragma once

#include "Interruzione.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

class QPdfDocument;

// PDF converters: merging keeps the source pages as they are (content,
// text, links); exporting renders each page to PNG. Same contract as the
// image converters: a new file under a free name, or nothing.
namespace ConversioniPdf {

// Render at most this many pixels a page; larger renders are scaled down to it.
inline constexpr qint64 kPixelPaginaMassimi = qint64(8192) * 8192;

// The pages of every readable PDF, in order; nothing with fewer than two
// inputs or when no page could be taken.
std::optional<QString> unisciPDF(const QStringList& pdf, const QString& cartella, const QString& base,
                                 const Interruzione& stop);
// Every page as <stem>-pagina-<n>.png at twice its size in points.
QStringList pdfInImmagini(const QString& pdf, const QString& cartella, const Interruzione& stop);
// Page `pagina` at `scala` pixels a point, composited on white and held
// under kPixelPaginaMassimi; null when the page cannot be drawn.
QImage renderPagina(QPdfDocument& documento, int pagina, double scala);

} // namespace ConversioniPdf
