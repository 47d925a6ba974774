// Fuzzes the update feed: the answer's body decoded, its version compared
// with ours and with itself, its minimum system read, its links checked.
#include "FeedAggiornamenti.h"

#include <cstddef>
#include <cstdint>

using namespace FeedAggiornamenti;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    const QByteArray corpo(reinterpret_cast<const char*>(dati), qsizetype(n));
    const auto r = decodifica(corpo);
    // Versions also straight from the bytes, so the comparison is fuzzed without JSON around it.
    const QString grezzo = QString::fromUtf8(corpo);
    const QString a = r ? r->versione : grezzo.section(QLatin1Char(' '), 0, 0);
    const QString b = r ? r->pacchetto.value_or(QString()) : grezzo.section(QLatin1Char(' '), 1);
    for (const QString& v : {a, b, QStringLiteral("2.0")}) {
        // An order: never before itself, never both ways.
        if (versionePrecede(v, v))
            __builtin_trap();
        for (const QString& w : {a, b, QStringLiteral("2.0")})
            if (versionePrecede(v, w) && versionePrecede(w, v))
                __builtin_trap();
    }
    // Equal numbers mean neither comes first.
    if (numeri(a) == numeri(b) && (versionePrecede(a, b) || versionePrecede(b, a)))
        __builtin_trap();
    if (!r)
        return 0;
    sistemaAdatto(r->minimoMacOS, [](int maggiore, int minore, int correzione) {
        return maggiore > 13 || (maggiore == 13 && (minore > 0 || correzione >= 0));
    });
    for (const QString& link : {r->download, r->pacchetto.value_or(QString())})
        if (const auto u = urlSicuro(link); u && (u->scheme() != QLatin1String("https") || u->host().isEmpty()))
            __builtin_trap();
    return 0;
}
