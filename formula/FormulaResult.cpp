#include "FormulaResult.h"

#include <cstdint>
#include <cstring>

bool FormulaResult::CheckValue(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits != 0xFFFFFFFFu;
}
