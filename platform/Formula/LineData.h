#pragma once

#include "Rect.h"
#include "StripColor.h"

#include <cstdint>
#include <string>
#include <vector>

// One output line of a formula evaluation, in the engine's terms.
struct FORMULA_EXPORT LineData
{
    unsigned char lineFlag = 0;
    std::vector<float> data1;
    std::vector<float> data2;
    std::vector<float> data3;
    std::vector<float> data4;
    std::string text;          // local 8-bit encoding
    std::vector<int> colorCodes; // 0x00BBGGRR per item
    int drawType = 0;
    int param1 = 0;
    int param2 = 0;
    int lineWidth = 0;
    std::string name;          // local 8-bit encoding
    int count = 0;
    int color = 0;             // 0x00BBGGRR
    std::uint16_t lineStyle = 0;
    StripColor stripColor;
    Rect rect;
};
