// Fuzzes the parsing of the desktop application's cache entries. The first
// byte picks the layer: 0 a whole entry, 1 the answer's JSON, 2 a zstd body.
#include "AnalisiVoceCache.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n < 1)
        return 0;
    const QByteArrayView resto(reinterpret_cast<const char*>(dati) + 1, static_cast<qsizetype>(n - 1));
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1772445600, Qt::UTC);
    switch (dati[0] % 3) {
    case 0:
        VoceCache::analizzaVoce(resto, t, {QStringLiteral("claude.ai"), QStringLiteral("claude.com")});
        break;
    case 1:
        VoceCache::analizzaRisposta(resto.toByteArray(), t);
        break;
    default:
        if (auto r = VoceCache::decomprimiZstd(resto); r && r->size() > static_cast<qsizetype>(VoceCache::kUscitaMassima))
            __builtin_trap();
        break;
    }
    return 0;
}
