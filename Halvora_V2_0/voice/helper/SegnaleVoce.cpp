#include "SegnaleVoce.h"

#include <algorithm>
#include <cmath>

namespace SegnaleVoce {

namespace {
constexpr float kPiccoObiettivo = 0.7f;
constexpr float kGuadagnoMassimo = 12.0f;
constexpr float kGuadagnoInutile = 1.2f;
// Below this level (-40 dBFS) a window is quiet whatever the recording.
constexpr double kSogliaMinima = 0.01;
// A piece whose voice lasts less than this (in 10 ms windows) is a click, not speech.
constexpr std::size_t kVoceMinima = 10;
} // namespace

std::optional<float> guadagno(float picco)
{
    if (!(picco > 0))
        return std::nullopt;
    const float g = kPiccoObiettivo / picco;
    if (g > kGuadagnoMassimo)
        return kGuadagnoMassimo;
    if (g <= kGuadagnoInutile)
        return std::nullopt;
    return g;
}

bool normalizza(std::vector<float>& campioni)
{
    float picco = 0;
    for (float s : campioni)
        picco = std::max(picco, std::abs(s));
    const auto g = guadagno(picco);
    if (!g)
        return false;
    for (float& s : campioni)
        s *= *g;
    return true;
}

std::vector<Tratto> dividiAllePause(const std::vector<float>& campioni, int frequenza, const Divisione& d)
{
    const std::size_t passo = std::max(1, frequenza / 100);
    const std::size_t n = (campioni.size() + passo - 1) / passo;
    if (n == 0)
        return {};
    std::vector<double> livello(n);
    for (std::size_t i = 0; i < n; ++i) {
        double somma = 0;
        const std::size_t fine = std::min(campioni.size(), (i + 1) * passo);
        for (std::size_t k = i * passo; k < fine; ++k)
            somma += double(campioni[k]) * campioni[k];
        livello[i] = std::sqrt(somma / double(fine - i * passo));
    }
    // Quiet is judged against the recording's own floor, so a noisy room
    // still has pauses; but never above half its loud level, so speech
    // without any silence is still speech.
    std::vector<double> ordinati = livello;
    std::sort(ordinati.begin(), ordinati.end());
    const double soglia = std::max(kSogliaMinima, std::min(2 * ordinati[n / 10], ordinati[n * 9 / 10] / 2));

    // Windows of 10 ms: a hundred a second.
    const auto finestre = [](double secondi) { return std::max<std::size_t>(1, std::size_t(secondi * 100)); };
    const std::size_t pausa = finestre(d.pausaMinima), minima = finestre(d.durataMinima),
                      massima = std::max(minima + 1, finestre(d.durataMassima));

    std::vector<std::size_t> tagli; // window indices where a piece ends
    std::size_t inizio = 0, quiete = 0;
    for (std::size_t i = 0; i < n; ++i) {
        quiete = livello[i] < soglia ? quiete + 1 : 0;
        const std::size_t durata = i + 1 - inizio;
        std::size_t taglio = 0;
        if (quiete >= pausa && durata >= minima) {
            taglio = i + 1 - quiete / 2; // the middle of the pause
        } else if (durata >= massima) {
            taglio = inizio + minima;
            for (std::size_t k = inizio + minima; k <= i; ++k)
                if (livello[k] < livello[taglio])
                    taglio = k;
        } else {
            continue;
        }
        tagli.push_back(taglio);
        inizio = taglio;
        quiete = 0;
    }
    tagli.push_back(n);

    std::vector<Tratto> tratti;
    std::size_t da = 0;
    for (std::size_t a : tagli) {
        const std::size_t voce =
            std::count_if(livello.begin() + da, livello.begin() + a, [soglia](double l) { return l >= soglia; });
        if (voce >= kVoceMinima)
            tratti.push_back({da * passo, std::min(campioni.size(), a * passo)});
        da = a;
    }
    return tratti;
}

std::vector<int16_t> aInteri(const std::vector<float>& campioni, const Tratto& t)
{
    std::vector<int16_t> interi;
    interi.reserve(t.fine - t.inizio);
    for (std::size_t i = t.inizio; i < t.fine; ++i)
        interi.push_back(int16_t(std::lround(std::clamp(campioni[i], -1.0f, 1.0f) * 32767.0f)));
    return interi;
}

} // namespace SegnaleVoce
