// Fuzzes the reading of the now-playing helper's output. The first byte
// picks the input: even, raw bytes from the pipe cut into chunks of a
// size the second byte gives; odd, the fields of a player (title, artist,
// name, desktop id, NUL-separated) written by the helper and read back,
// which must give the same title and artist whatever they hold. New keys
// in the block are ignored, so the checks hold them too.
#include "BloccoNowPlaying.h"
#include "FakeClock.h"
#include "SorgenteSistema.h"

#include <QCoreApplication>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

void controllaCampione(const std::optional<SorgenteSistema::Brano>& b)
{
    if (!b)
        return;
    if (b->titolo.isEmpty() || b->titolo != b->titolo.trimmed())
        __builtin_trap();
    for (double t : {b->posizione, b->durata})
        if (!std::isfinite(t) || t < 0 || t > 1.0e9)
            __builtin_trap();
}

void controlla(const SorgenteSistema& s)
{
    const auto c = s.campioni();
    controllaCampione(c.ultimoBrano);
    controllaCampione(c.ultimaSessioneGrezza);
    if (c.ultimoBrano && !c.ultimaSessioneGrezza)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The source posts its change callback to the event loop.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    if (n < 2)
        return 0;
    static FakeClock orologio;
    SorgenteSistema sorgente(orologio, 1.5, QString(), QStringLiteral("halvora"));
    int cambi = 0;
    sorgente.onCambio = [&cambi] { ++cambi; };
    const char* resto = reinterpret_cast<const char*>(dati) + 2;
    const qsizetype lunghezza = qsizetype(n - 2);

    if (dati[0] % 2 == 0) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const qsizetype pezzo = 1 + dati[1] % 97;
        for (qsizetype i = 0; i < lunghezza; i += pezzo) {
            sorgente.accodaTesto(utf8.decode(QByteArrayView(resto + i, std::min(pezzo, lunghezza - i))));
            controlla(sorgente);
            orologio.advance(dati[1] % 3 == 0 ? 200 : 1.5);
        }
    } else {
        const QList<QByteArray> campi = QByteArray(resto, lunghezza).split('\0');
        StatoMpris stato;
        stato.titolo = QString::fromUtf8(campi.value(0));
        stato.artisti = campi.value(1).isEmpty() ? QStringList() : QStringList{QString::fromUtf8(campi.value(1))};
        stato.identita = QString::fromUtf8(campi.value(2));
        stato.desktop = QString::fromUtf8(campi.value(3));
        stato.stato = dati[1] % 2 ? QStringLiteral("Playing") : QStringLiteral("Paused");
        stato.pid = dati[1];
        sorgente.accodaTesto(BloccoNowPlaying::blocco(stato, orologio.now()));
        controlla(sorgente);
        const auto letto = sorgente.campioni().ultimaSessioneGrezza;
        const auto diretto = SorgenteSistema::analizzaDescrizione(
            BloccoNowPlaying::blocco(stato, orologio.now()).section(BloccoNowPlaying::kInizio, 1), orologio.now());
        const QString titolo = stato.titolo.trimmed();
        if (titolo.isEmpty() != !diretto)
            __builtin_trap();
        if (diretto && (diretto->titolo != titolo || diretto->artista != stato.artisti.value(0)
                        || diretto->inRiproduzione != (dati[1] % 2 == 1)))
            __builtin_trap();
        // Only the application's own samples are dropped.
        if (diretto && (diretto->bundleIDApp == QLatin1String("halvora")) != !letto)
            __builtin_trap();
    }
    // The change callbacks run while the source is still there.
    QCoreApplication::sendPostedEvents();
    return 0;
}
