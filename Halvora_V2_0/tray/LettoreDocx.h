#pragma once

#include "TestoFormattato.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <optional>

// Reads the body of a Word (.docx) document out of its ZIP package: the
// paragraphs with their style's and their own alignment, indents, heading
// level and list marker; runs with bold, italic, underline, strike-through,
// size and colour; tables cell by cell; text boxes where they stand, each
// alternate content read once. Headers, footers, notes and pictures are
// left out. A package that is not ZIP, lacks the body, holds a part larger
// than the cap once decompressed, or malformed XML gives nothing.
class LettoreDocx {
public:
    static constexpr qsizetype kMassimoPacchetto = qsizetype(64) << 20;
    static constexpr qsizetype kMassimoXml = qsizetype(32) << 20;

    static std::optional<TestoFormattato> leggi(const QByteArray& pacchetto);
    // word/document.xml itself, with the styles and numbering parts when there are any.
    static std::optional<TestoFormattato> leggiXml(const QByteArray& xml, const QByteArray& stili = {},
                                                   const QByteArray& numerazione = {});
    // The decompressed bytes of the named parts of a ZIP package, each at
    // most `massimo`; nothing when the package cannot be read or a part is over the cap.
    static std::optional<QHash<QByteArray, QByteArray>> parti(const QByteArray& pacchetto, const QList<QByteArray>& nomi,
                                                             qsizetype massimo);
    static std::optional<QByteArray> parte(const QByteArray& pacchetto, const QByteArray& nome, qsizetype massimo);
};
