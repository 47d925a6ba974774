#pragma once

#include "LettoreUsoIA.h"

// Always the same reading, from the usage monitor's worker.
class LettoreUsoIAFisso final : public LettoreUsoIA {
public:
    explicit LettoreUsoIAFisso(std::optional<LetturaUsoIA> lettura) : lettura_(std::move(lettura)) {}
    std::optional<LetturaUsoIA> leggiUso() override { return lettura_; }
    void dimentica() override {}

private:
    const std::optional<LetturaUsoIA> lettura_;
};
