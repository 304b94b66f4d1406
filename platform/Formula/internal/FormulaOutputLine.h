#pragma once

#include <memory>
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
    using Series = std::shared_ptr<std::vector<float>>;

    Series data1;
    Series data2; // icon numbers; null unless a DRAWICON line
};
