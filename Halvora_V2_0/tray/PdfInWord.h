#pragma once

#include "TestoFormattato.h"
#include "TestoPdf.h"

#include <QString>
#include <optional>

class Interruzione;

// A PDF as a Word document: each page's own text with its runs' size,
// bold and italic, the lines of a paragraph joined again, or the text
// recognised in its picture when it carries none (scans), one blank line
// between pages. Nothing when no page gives any text.
class PdfInWord {
public:
    // Pages are rendered for recognition at three times their size.
    static constexpr double kScalaRiconoscimento = 3;

    // Writes <cartella>/<stem of pdf>.docx (or the next free name); its path, or nothing.
    static std::optional<QString> converti(const QString& pdf, const QString& cartella, const Interruzione& stop);
    // A page's words as paragraphs: words on one baseline make a line; a
    // line that runs to the text's right edge goes on into the next when
    // that starts at the same left edge in the same size, close below it.
    static QList<TestoFormattato::Paragrafo> paragrafi(const QList<TestoPdf::Parola>& parole);
};
