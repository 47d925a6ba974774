// Fuzzes the RTF reader. Whatever the bytes, it ends, gives no more
// characters than it was given bytes, reads the same twice, and what it
// gives can be written as a Word document that reads back to as many
// paragraphs.
#include "DocumentoWord.h"
#include "LettoreDocx.h"
#include "LettoreRtf.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    const QByteArray rtf(reinterpret_cast<const char*>(dati), qsizetype(n));
    const auto doc = LettoreRtf::leggi(rtf);
    if (!doc)
        return 0;
    if (doc->testoSemplice().size() - (doc->paragrafi.size() - 1) > rtf.size())
        __builtin_trap();
    if (LettoreRtf::leggi(rtf)->paragrafi != doc->paragrafi)
        __builtin_trap();
    const auto riletto = LettoreDocx::leggi(DocumentoWord::pacchetto(*doc));
    if (!riletto || riletto->paragrafi.size() != doc->paragrafi.size())
        __builtin_trap();
    return 0;
}
