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
    int lineStyle = 0;
    int param1 = 0;
    int param2 = 0;
    using Series = std::shared_ptr<std::vector<float>>;

    Series data1;
    Series data2; // icon numbers of a DRAWICON line, or a drawing's series
    Series data3; // drawings only
    Series data4;
    std::vector<int> colorCodes; // per bar, or empty
};
