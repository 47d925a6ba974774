#pragma once

#include "TestoFormattato.h"

#include <QString>
#include <optional>

class Interruzione;

// Reads a Word 97 (.doc) file in the helper halvora-doc, which hands the
// document back as the body of a Word (.docx) document. A file the helper
// cannot read, a helper that crashes, runs past the time limit or answers
// more than a document's worth gives nothing. Blocks: call it off the GUI thread.
class LettoreDoc {
public:
    static constexpr int kSecondiMassimi = 30;

    // `limiteMs`: how long the helper may take.
    static std::optional<TestoFormattato> leggi(const QString& percorso, const Interruzione& stop,
                                                const QString& programma = programmaPredefinito(),
                                                int limiteMs = kSecondiMassimi * 1000);
    static QString programmaPredefinito();
};
