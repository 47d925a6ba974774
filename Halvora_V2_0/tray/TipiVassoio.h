#pragma once

#include <QString>

// Which tray files an operation takes, from the file's content type.
namespace TipiVassoio {

// The content type is known and is an image; the name's extension alone does not count.
bool eImmagine(const QString& percorso);
// The content type is PDF; when it cannot be told, the extension "pdf" in any case.
bool ePdf(const QString& percorso);
// The extension (any case) is one of the text documents the tray lays out as PDF.
bool eDocumento(const QString& percorso);

} // namespace TipiVassoio
