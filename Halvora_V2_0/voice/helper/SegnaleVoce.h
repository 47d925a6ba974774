#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The sample work of a recognition, on mono float samples in -1..1: the
// peak normalisation and the split of a long recording at its pauses.
namespace SegnaleVoce {

// The gain that brings a recording of peak `picco` to 0.7: at most 12;
// none when the peak is zero or the gain would be 1.2 or less (loud enough).
std::optional<float> guadagno(float picco);
// Applies that gain to every sample; whether anything changed.
bool normalizza(std::vector<float>& campioni);

// One piece to recognise: samples [inizio, fine).
struct Tratto {
    std::size_t inizio = 0;
    std::size_t fine = 0;
    bool operator==(const Tratto&) const = default;
};

struct Divisione {
    double pausaMinima = 0.3;    // seconds of quiet that make a pause
    double durataMinima = 8.0;   // a piece ends at the first pause after this
    double durataMassima = 25.0; // without a pause, at its quietest moment before this
};

// The pieces of a recording at `frequenza` Hz, in order; stretches with no
// voice at all are left out, so silence gives no piece.
std::vector<Tratto> dividiAllePause(const std::vector<float>& campioni, int frequenza, const Divisione& d = {});

// 16-bit samples for the recogniser, clipped.
std::vector<int16_t> aInteri(const std::vector<float>& campioni, const Tratto& t);

} // namespace SegnaleVoce
