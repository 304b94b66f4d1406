// The bridge to the formula engine: the output records it hands back, the
// indicator lines made of them, and the store's windows.

#include "FormulaResult.h"
#include "Formulas.h"
#include "ZtLineLib_Formula.h"

#include <algorithm>

namespace {

// Copies n items of an engine series; a null series stays empty.
template <typename T>
std::vector<T> seriesOf(const T* data, int n)
{
    if (!data || n <= 0)
        return {};
    return std::vector<T>(data, data + n);
}

} // namespace

LineData FormulaResult::attributesOf(const tagFLINE& f)
{
    LineData d;
    d.lineFlag = f.lineFlag;
    d.text = f.text ? f.text : "";
    d.drawType = f.drawType;
    d.param1 = f.param1;
    d.param2 = f.param2;
    d.lineWidth = f.lineWidth;
    d.name = f.name ? f.name : "";
    d.count = std::max(f.count, 0);
    d.color = f.color;
    d.lineStyle = f.lineStyle;
    if (f.stripColor) {
        d.stripColor.enable = true;
        d.stripColor.color1 = f.stripColor[0];
        d.stripColor.color2 = f.stripColor[1];
        d.stripColor.color3 = f.stripColor[2];
    }
    if (f.rect) {
        d.rect.valid = true;
        d.rect.top = f.rect[0];
        d.rect.left = f.rect[1];
        d.rect.bottom = f.rect[2];
        d.rect.right = f.rect[3];
    }
    return d;
}

void FormulaResult::parseFromFline(tagFLINES& flines)
{
    lineCount = flines.count;
    if (flines.count <= 0 || !flines.lines)
        return;
    lines.reserve(lines.size() + size_t(flines.count));
    for (int j = 0; j < flines.count; ++j) {
        const tagFLINE& f = flines.lines[j];
        LineData d = attributesOf(f);
        d.data1 = seriesOf(f.data1, f.count);
        d.data2 = seriesOf(f.data2, f.count);
        d.data3 = seriesOf(f.data3, f.count);
        d.data4 = seriesOf(f.data4, f.count);
        d.colorCodes = seriesOf(f.colorCodes, f.count);
        lines.push_back(std::move(d));
    }
}

void ZtLineLib_Formula::createByFormulaResult(FormulaResult* result)
{
    if (!result)
        return;
    // An average whose stored parameter is 0 is switched off: its line is
    // left out, the others keep their order.
    QList<float> maParams;
    if (m_formulaType == eFT_MA) {
        const QString title = QString::fromStdString(
            helpFormulaTypeToQString(m_formulaType).toStdString());
        maParams = getCFormulaParamsAll(title).paramValues;
    }
    for (size_t j = 0; j < result->lines.size(); ++j) {
        if (m_formulaType == eFT_MA && int(j) < maParams.size() && maParams.at(int(j)) == 0.0f)
            continue;
        Formulas::formulaLine line;
        line.showValue = true;
        line.useDrawRoutines = true;
        createByTagDay(&line, &result->lines[j]);
        m_formulaLines.appendLine(line);
    }
}

void ZtLineLib_Formula::showFormulaWindow()
{
    m_dformulaManage.FShowFormularManage(0);
}

bool ZtLineLib_Formula::setCFormulaParamsForCWin(QString name)
{
    std::string n = name.toStdString();
    return m_dformulaManage.ModifyFormular(n);
}

bool ZtLineLib_Formula::setThisCFormulaParamsForCWin()
{
    return setCFormulaParamsForCWin(helpFormulaTypeToQString(m_formulaType));
}
