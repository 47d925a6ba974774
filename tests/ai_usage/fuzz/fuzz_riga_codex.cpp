// Fuzzes the parsing of session-log lines. The first byte picks the input:
// 0 one line, 1 a whole tail, 2 a tail cut inside the file.
#include "AnalisiRigaCodex.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n < 1)
        return 0;
    const QByteArrayView resto(reinterpret_cast<const char*>(dati) + 1, static_cast<qsizetype>(n - 1));
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1772445600, Qt::UTC);
    std::optional<LetturaUsoIA> l;
    switch (dati[0] % 3) {
    case 0:
        l = RigaCodex::analizzaRiga(resto, t);
        break;
    default:
        l = RigaCodex::analizzaCoda(resto, dati[0] % 3 == 2, t);
        break;
    }
    // Whatever the input, a reading holds percentages in range.
    if (l)
        for (const auto& f : {l->sessione, l->settimana})
            if (f && (f->percentuale < 0 || f->percentuale > 100))
                __builtin_trap();
    return 0;
}
