#pragma once

#include <string>
#include <vector>

// One evaluated output line, ready to be laid out as a tagFLINE.
struct FormulaOutputLine
{
    std::string name; // UTF-8
    std::string text; // UTF-8
    int drawType = 0;
    int color = 0;
    int lineWidth = 1;
    std::vector<float> data1;
    std::vector<float> data2; // icon numbers; empty unless a DRAWICON line
};
