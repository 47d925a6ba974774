// Writes the alarm chime as a WAV file: a short glass-like ring made of a
// few bell partials with a soft attack and an exponential decay.
// Usage: genera_allarme <output.wav>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void scrivi16(std::FILE* f, uint16_t v) { std::fputc(v & 0xff, f), std::fputc(v >> 8, f); }
void scrivi32(std::FILE* f, uint32_t v) { scrivi16(f, v & 0xffff), scrivi16(f, v >> 16); }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    constexpr int frequenza = 44100;
    constexpr double durata = 1.1;
    constexpr double pi = 3.14159265358979323846;
    struct Parziale {
        double hz, ampiezza, decadimento;
    };
    // A struck glass: a bright fundamental, an inharmonic overtone and a shimmer.
    const Parziale parziali[] = {{1568.0, 0.55, 4.0}, {2349.3, 0.25, 6.0}, {3951.1, 0.12, 9.0}, {784.0, 0.10, 3.0}};
    const int campioni = int(frequenza * durata);
    std::vector<int16_t> dati(campioni);
    for (int i = 0; i < campioni; ++i) {
        const double t = double(i) / frequenza;
        const double attacco = std::min(1.0, t / 0.004);
        const double coda = std::min(1.0, (durata - t) / 0.05); // no click at the end
        double v = 0;
        for (const auto& p : parziali)
            v += p.ampiezza * std::exp(-p.decadimento * t) * std::sin(2 * pi * p.hz * t);
        dati[i] = int16_t(std::lround(std::clamp(v * attacco * coda, -1.0, 1.0) * 0.8 * 32767));
    }

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f)
        return 1;
    const uint32_t byteDati = uint32_t(campioni * 2);
    std::fwrite("RIFF", 1, 4, f);
    scrivi32(f, 36 + byteDati);
    std::fwrite("WAVEfmt ", 1, 8, f);
    scrivi32(f, 16);
    scrivi16(f, 1); // PCM
    scrivi16(f, 1); // mono
    scrivi32(f, frequenza);
    scrivi32(f, frequenza * 2);
    scrivi16(f, 2);
    scrivi16(f, 16);
    std::fwrite("data", 1, 4, f);
    scrivi32(f, byteDati);
    for (int16_t s : dati)
        scrivi16(f, uint16_t(s));
    return std::fclose(f) == 0 ? 0 : 1;
}
