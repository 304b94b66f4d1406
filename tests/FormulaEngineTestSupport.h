#pragma once

// Helpers shared by the formula engine tests: a result holder that copies
// the engine's records, bar input builders and textbook reference series.

#include <ZtLineLib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace FormulaTest {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double N_ = kNaN; // no value, short for the tables

struct CapturedLine
{
    std::string name;
    std::string text;
    int drawType = -1;
    int color = -1;
    int lineWidth = -1;
    int count = -1;
    int style = 0, param1 = 0, param2 = 0;
    std::vector<float> d[4]; // every series the record has, data1 … data4
    std::vector<int> colours;

    // Equal in every field and item; floats compare as numbers (the engine
    // hands no NaN: bars without a value carry its marker).
    bool operator==(const CapturedLine& o) const
    {
        const auto fields = [](const CapturedLine& l) {
            return std::tie(l.name, l.text, l.drawType, l.color, l.lineWidth, l.count, l.style, l.param1,
                            l.param2, l.d[0], l.d[1], l.d[2], l.d[3], l.colours);
        };
        return fields(*this) == fields(o);
    }
};

// Copies every record while the engine's memory is valid.
class CapturedResult : public FormulaResultBase
{
public:
    void parseFromFline(tagFLINES& f) override
    {
        ++calls;
        lineCount = f.count;
        captured.clear();
        for (int i = 0; i < f.count && f.lines; ++i) {
            const tagFLINE& r = f.lines[i];
            CapturedLine line{r.name,  r.text,      r.drawType, r.color, r.lineWidth,
                              r.count, r.lineStyle, r.param1,   r.param2};
            const float* series[] = {r.data1, r.data2, r.data3, r.data4};
            for (int k = 0; k < 4; ++k) {
                if (series[k])
                    line.d[k].assign(series[k], series[k] + r.count);
            }
            if (r.colorCodes)
                line.colours.assign(r.colorCodes, r.colorCodes + r.count);
            captured.push_back(line);
        }
    }

    const CapturedLine* line(const std::string& name) const
    {
        const auto it = std::find_if(captured.begin(), captured.end(), [&](const CapturedLine& l) { return l.name == name; });
        return it == captured.end() ? nullptr : &*it;
    }

    int calls = 0;
    std::vector<CapturedLine> captured;
};

// A failed evaluation hands over one record with the reason and no series.
inline bool handedOnlyTheReason(const CapturedResult& r, const std::string& error)
{
    return r.calls == 1 && r.captured.size() == 1 && r.captured[0].drawType == eFormulaError
        && r.captured[0].text == error && r.captured[0].count == 0;
}


struct Bars
{
    std::vector<double> open, high, low, close, volume;
    size_t size() const { return close.size(); }
};

// A reproducible random walk with two-decimal prices, so equal closes and
// all the usual bar shapes occur.
inline Bars randomBars(int n, std::uint32_t seed = 12345)
{
    Bars b;
    std::uint32_t state = seed;
    const auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    };
    double close = 10.0;
    for (int i = 0; i < n; ++i) {
        const double open = std::round((close + (next() - 0.5) * 0.2) * 100.0) / 100.0;
        // Now and then an unchanged close, as real quotes have.
        const double step = (next() - 0.5) * 0.6;
        if (next() > 0.1)
            close = std::round(std::max(1.0, close + step) * 100.0) / 100.0;
        const double high = std::round((std::max(open, close) + next() * 0.3) * 100.0) / 100.0;
        const double low = std::round((std::min(open, close) - next() * 0.3) * 100.0) / 100.0;
        b.open.push_back(open);
        b.high.push_back(high);
        b.low.push_back(low);
        b.close.push_back(close);
        b.volume.push_back(std::round(1000.0 + next() * 100000.0));
    }
    return b;
}

inline Bars closesOnly(const std::vector<double>& closes)
{
    Bars b;
    b.open = b.high = b.low = b.close = closes;
    b.volume.assign(closes.size(), 100.0);
    return b;
}

// The engine's input: one TagDay per bar, the columns in the first.
inline CInputData makeInput(const Bars& b)
{
    CInputData input;
    input.days.resize(b.size());
    if (b.size() == 0)
        return input;
    TagDay& cols = input.days.front();
    cols.m_open.assign(b.open.begin(), b.open.end());
    cols.m_high.assign(b.high.begin(), b.high.end());
    cols.m_low.assign(b.low.begin(), b.low.end());
    cols.m_close.assign(b.close.begin(), b.close.end());
    cols.m_volume.assign(b.volume.begin(), b.volume.end());
    cols.m_amount.assign(b.size(), 0.0f);
    cols.m_valid.assign(b.size(), 1);
    return input;
}

inline TagFormularContent definition(const std::string& name, const std::string& source,
                                     std::vector<std::pair<std::string, float>> params = {})
{
    TagFormularContent c;
    c.texts[0] = name;
    c.texts[2] = source;
    for (const auto& p : params) {
        c.paramNames[c.paramCount] = p.first;
        c.params[2][c.paramCount] = p.second;
        ++c.paramCount;
    }
    return c;
}

inline bool isMarker(float v)
{
    return v == kFormulaNoValue;
}

// A series against its expected values (NaN: no value), within a relative
// and an absolute tolerance.
inline void expectValues(const std::vector<float>& got, const std::vector<double>& expected, double relative,
                         double absolute)
{
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        if (std::isnan(expected[i]))
            EXPECT_TRUE(isMarker(got[i])) << "bar " << i << " got " << got[i];
        else
            EXPECT_NEAR(got[i], expected[i], relative * std::fabs(expected[i]) + absolute) << "bar " << i;
    }
}

// One evaluation of a formula source stored as "FTEST".
struct Evaluation
{
    bool ok = false;
    CapturedResult result;
    std::string error;
    int line = 0;
    int column = 0;
};

inline Evaluation runFormula(const std::string& source, CInputData input,
                             std::vector<std::pair<std::string, float>> params = {})
{
    CDFormulaManage store;
    TagFormularContent c = definition("FTEST", source, std::move(params));
    EXPECT_TRUE(store.SetFormularContent(c));
    ModuleFormular engine;
    std::string name = "FTEST";
    Evaluation r;
    r.ok = engine.ComputeDayFormular(name, input, 1, 0, &r.result);
    r.error = engine.lastError();
    r.line = engine.lastErrorLine();
    r.column = engine.lastErrorColumn();
    return r;
}

inline Evaluation runFormula(const std::string& source, const Bars& bars,
                             std::vector<std::pair<std::string, float>> params = {})
{
    return runFormula(source, makeInput(bars), std::move(params));
}

// The one line of "X:expr;" over input is the expected series (NaN: no value).
inline void expectSeries(const std::string& expr, CInputData input, const std::vector<double>& expected)
{
    SCOPED_TRACE(expr);
    const Evaluation r = runFormula("X:" + expr + ";", std::move(input));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.result.captured.size(), 1u);
    expectValues(r.result.captured[0].d[0], expected, 1e-5, 1e-6);
}

// The bars most tables are worked out by hand over, and a table of
// expressions with their expected series over them (or over input).
const std::vector<double> kCloses = {3, 1, 4, 1, 5, 9, 2, 6};

using Case = std::pair<const char*, std::vector<double>>;

inline void checkAll(const std::vector<Case>& cases, const CInputData& input = makeInput(closesOnly(kCloses)))
{
    for (const auto& [expr, expected] : cases)
        expectSeries(expr, input, expected);
}

} // namespace FormulaTest
