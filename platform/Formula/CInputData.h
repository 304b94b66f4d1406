#pragma once

#include "TagDay.h"

#include <array>
#include <cstdint>
#include <vector>

// The input of one evaluation: bars, then four record kinds this library
// never fills (12, 24, 128 and 480 bytes each), then two words.
struct FORMULA_EXPORT CInputData
{
    std::vector<TagDay> days;
    std::vector<std::array<unsigned char, 12>> records12;
    std::vector<std::array<unsigned char, 24>> records24;
    std::vector<std::array<unsigned char, 128>> records128;
    std::vector<std::array<unsigned char, 480>> records480;
    std::uint32_t word1 = 0;
    std::uint32_t word2 = 0;
};
