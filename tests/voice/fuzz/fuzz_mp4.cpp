// Fuzzes the MP4 reader on any file that may lie in the memo folder: it
// reads it without fault, gives a finite, non-negative length, and never
// judges soundless a file in which it counts sound. The seeds are muxed as
// the recorder muxes: gst-launch-1.0 audiotestsrc num-buffers=2
// samplesperbuffer=1024 ! audio/x-raw,rate=8000,channels=1 ! voaacenc !
// mp4mux [fragment-duration=100] ! filesink, and one of no buffer.
#include "LettoreMp4.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    static QTemporaryDir cartella;
    const QString percorso = cartella.filePath(QStringLiteral("Memo.m4a"));
    {
        QFile f(percorso);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char*>(dati), qint64(n)) != qint64(n))
            return 0;
    }
    const std::optional<double> secondi = LettoreMp4::secondiAudio(percorso);
    if (secondi && !(std::isfinite(*secondi) && *secondi >= 0))
        __builtin_trap();
    if (secondi && *secondi > 0 && LettoreMp4::senzaSuono(percorso))
        __builtin_trap();
    return 0;
}
