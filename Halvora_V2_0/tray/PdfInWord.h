#pragma once

#include <QString>
#include <optional>

class Interruzione;

// A PDF as a Word document: each page's own text, or the text recognised
// in its picture when it carries none (scans), one blank line between
// pages. Nothing when no page gives any text.
class PdfInWord {
public:
    // Pages are rendered for recognition at three times their size.
    static constexpr double kScalaRiconoscimento = 3;

    // Writes <cartella>/<stem of pdf>.docx (or the next free name); its path, or nothing.
    static std::optional<QString> converti(const QString& pdf, const QString& cartella, const Interruzione& stop);
};
