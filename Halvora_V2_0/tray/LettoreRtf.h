#pragma once

#include "TestoFormattato.h"

#include <QByteArray>
#include <optional>

// A small reader of RTF: the text with its paragraphs, bold, italic,
// underline, strike-through, font sizes and alignment. Pictures, objects,
// fields' instructions, headers, footers and every table of the header
// (fonts, colours, styles, information) are left out. Input that is not
// RTF, too large or nested deeper than the reader goes gives nothing.
class LettoreRtf {
public:
    static constexpr qsizetype kMassimoByte = qsizetype(16) << 20;
    static constexpr int kProfonditaMassima = 200;

    static std::optional<TestoFormattato> leggi(const QByteArray& rtf);
};
