#pragma once

#include <QString>
#include <optional>

class Interruzione;

// A text document laid out on A4 pages with 72-point margins and written as
// a PDF: plain text (and Markdown, as written) and HTML in the encoding they
// were saved in, HTML with pictures from its own folder only, RTF, RTFD,
// Word (.docx) and Word 97 (.doc) with their formatting and tables. Files
// over the size caps, unreadable or corrupt give nothing.
class DocumentoInPDF {
public:
    enum class Tipo { rtf, rtfd, html, doc, docx, testo };

    static constexpr qint64 kMassimoTesto = qint64(8) << 20;    // plain text and HTML
    static constexpr qint64 kMassimoRisorsa = qint64(32) << 20; // one picture of an HTML page
    static constexpr double kMargine = 72;                       // points, on every side
    static constexpr double kRientroMassimo = 300;               // points: indents stay on the page
    static constexpr qint64 kCelleMassime = 100000;              // of one table
    static constexpr int kRisoluzione = 1200;                    // of the page, pixels an inch

    // By the lower-cased extension; plain text for anything else.
    static Tipo tipoDocumento(const QString& percorso);

    // Writes <cartella>/<stem of documento>.pdf (or the next free name); its path, or nothing.
    static std::optional<QString> converti(const QString& documento, const QString& cartella, const Interruzione& stop);
};
