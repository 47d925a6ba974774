#pragma once

#include "SuonoAllarme.h"

// An alarm sound that plays nothing.
class SuonoMuto final : public SuonoAllarme {
public:
    void suona() override {}
};
