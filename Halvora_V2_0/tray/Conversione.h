#pragma once

// The target of an image re-encoding: JPEG at a quality (0 to 1), the
// source's own type scaled by a factor, or PNG.
struct Conversione {
    enum class Tipo { jpeg, ridimensiona, png };
    Tipo tipo = Tipo::png;
    // The JPEG quality, or the factor applied to both pixel dimensions.
    double valore = 0;

    static constexpr Conversione jpeg(double qualita) { return {Tipo::jpeg, qualita}; }
    static constexpr Conversione ridimensiona(double fattore) { return {Tipo::ridimensiona, fattore}; }
    static constexpr Conversione png() { return {Tipo::png, 0}; }
    friend constexpr bool operator==(const Conversione&, const Conversione&) = default;
};
