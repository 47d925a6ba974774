// Fuzzes the settings file as anyone may have edited it: whatever part of
// it is read is written back whole by our own INI writer, and that reads
// back whole to the same settings.
#include "FileIni.h"
#include "UgualeIni.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    const FileIni::Lettura prima = FileIni::leggi(QByteArray(reinterpret_cast<const char*>(dati), qsizetype(n)));
    const FileIni::Lettura dopo = FileIni::leggi(FileIni::testo(prima.valori));
    if (!dopo.intero || dopo.valori.keys() != prima.valori.keys())
        __builtin_trap();
    for (auto it = prima.valori.cbegin(); it != prima.valori.cend(); ++it)
        if (!ugualeLetto(it.value(), dopo.valori.value(it.key())))
            __builtin_trap();
    return 0;
}
