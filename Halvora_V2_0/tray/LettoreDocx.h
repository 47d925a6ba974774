#pragma once

#include "TestoFormattato.h"

#include <QByteArray>
#include <optional>

// Reads the body of a Word (.docx) document: word/document.xml out of the
// ZIP package, its paragraphs and runs with bold, italic, underline,
// strike-through, size and alignment. A package that is not ZIP, lacks the
// part, holds a part larger than the cap once decompressed, or malformed
// XML gives nothing. Legacy .doc files are not read.
class LettoreDocx {
public:
    static constexpr qsizetype kMassimoPacchetto = qsizetype(64) << 20;
    static constexpr qsizetype kMassimoXml = qsizetype(32) << 20;

    static std::optional<TestoFormattato> leggi(const QByteArray& pacchetto);
    // The body of word/document.xml itself.
    static std::optional<TestoFormattato> leggiXml(const QByteArray& xml);
    // The decompressed bytes of one part of a ZIP package, at most `massimo`.
    static std::optional<QByteArray> parte(const QByteArray& pacchetto, const QByteArray& nome, qsizetype massimo);
};
