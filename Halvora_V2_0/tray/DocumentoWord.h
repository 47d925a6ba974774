#pragma once

#include "TestoFormattato.h"

#include <QByteArray>

// Writes the smallest Word (.docx) package that word processors open: the
// content types, the package relationship and word/document.xml, one
// paragraph per paragraph of the text, runs with their attributes.
class DocumentoWord {
public:
    static QByteArray pacchetto(const TestoFormattato& testo);
    static QByteArray documentXml(const TestoFormattato& testo);
};
