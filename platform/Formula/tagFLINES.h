#pragma once

#include "FormulaGlobal.h"

#include <cstddef>
#include <cstdint>

// One output line record of the engine. The byte offsets in the comments
// hold on a 32-bit build; a 64-bit build keeps the order with wider pointers.
struct FORMULA_EXPORT tagFLINE
{
    unsigned char lineFlag;   // 0
    float* data1;             // 4  first series, always present
    float* data2;             // 8  or null (icon numbers of an icon line)
    float* data3;             // 12 or null
    float* data4;             // 16 or null
    char* text;               // 20 zero-terminated, always present
    int* colorCodes;          // 24 or null
    int drawType;             // 28
    int param1;               // 32
    int param2;               // 36
    int lineWidth;            // 40
    char* name;               // 44 zero-terminated, always present
    int count;                // 48 items in every series
    int color;                // 52 0x00BBGGRR
    std::uint16_t lineStyle;  // 56
    int* stripColor;          // 60 three ints, or null
    int* rect;                // 64 top, left, bottom, right, or null
};

// The engine's output handed to FormulaResultBase::parseFromFline.
struct FORMULA_EXPORT tagFLINES
{
    tagFLINE* lines = nullptr;
    int count = 0;
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(tagFLINE) == 68, "engine line record is 68 bytes");
static_assert(offsetof(tagFLINE, data1) == 4, "engine line layout");
static_assert(offsetof(tagFLINE, data4) == 16, "engine line layout");
static_assert(offsetof(tagFLINE, text) == 20, "engine line layout");
static_assert(offsetof(tagFLINE, colorCodes) == 24, "engine line layout");
static_assert(offsetof(tagFLINE, drawType) == 28, "engine line layout");
static_assert(offsetof(tagFLINE, lineWidth) == 40, "engine line layout");
static_assert(offsetof(tagFLINE, name) == 44, "engine line layout");
static_assert(offsetof(tagFLINE, count) == 48, "engine line layout");
static_assert(offsetof(tagFLINE, color) == 52, "engine line layout");
static_assert(offsetof(tagFLINE, lineStyle) == 56, "engine line layout");
static_assert(offsetof(tagFLINE, stripColor) == 60, "engine line layout");
static_assert(offsetof(tagFLINE, rect) == 64, "engine line layout");
static_assert(sizeof(tagFLINES) == 8, "engine output record");
#endif
