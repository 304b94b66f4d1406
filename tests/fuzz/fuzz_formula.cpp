// The formula language: a definition with fuzzed parameters and source is
// checked, stored and evaluated over a small bar series.

#include "FuzzSupport.h"

namespace {

// Reads every item the engine promises (the first series and both texts
// always), so a short series shows up.
class Holder : public FormulaResultBase
{
public:
    void parseFromFline(tagFLINES& f) override
    {
        volatile size_t sink = 0;
        for (int i = 0; i < f.count && f.lines; ++i) {
            const tagFLINE& r = f.lines[i];
            sink = sink + strlen(r.name) + strlen(r.text);
            for (int k = 0; k < r.count; ++k) {
                sink = sink + size_t(r.data1[k] > 0.0f);
                for (const float* d : {r.data2, r.data3, r.data4})
                    sink = sink + size_t(d && d[k] > 0.0f);
                sink = sink + size_t(r.colorCodes && r.colorCodes[k] > 0);
            }
        }
        lineCount = f.count;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int bars = in.ConsumeIntegralInRange<int>(0, 40);
    const int params = in.ConsumeIntegralInRange<int>(0, 4);
    TagFormularContent c;
    c.texts[0] = "FUZZ";
    c.paramCount = params;
    for (int i = 0; i < params; ++i) {
        c.paramNames[i] = std::string(1, char('N' + i));
        c.params[2][i] = in.ConsumeBool() ? fuzz::hostileFloat(in)
                                          : float(in.ConsumeIntegralInRange<int>(-3, 60));
    }
    CInputData input;
    input.days.resize(size_t(bars));
    for (int i = 0; i < bars; ++i) {
        TagDay& cols = input.days.front(); // the first record holds the columns
        const float v = in.ConsumeBool() ? fuzz::hostileFloat(in) : 10.0f + float(i % 7);
        cols.m_open.push_back(v);
        cols.m_high.push_back(v + 1.0f);
        cols.m_low.push_back(v - 1.0f);
        cols.m_close.push_back(in.ConsumeBool() ? fuzz::hostileFloat(in) : v);
        cols.m_volume.push_back(in.ConsumeBool() ? fuzz::hostileFloat(in) : 1000.0f);
        cols.m_amount.push_back(0.0f);
        cols.m_valid.push_back(1);
    }
    c.texts[2] = in.ConsumeRemainingBytesAsString();

    std::string error;
    (void)ModuleFormular::checkFormula(c, &error);
    CDFormulaManage store;
    if (!store.SetFormularContent(c))
        return 0;
    ModuleFormular engine;
    std::string name = "FUZZ";
    Holder result;
    (void)engine.ComputeDayFormular(name, input, 1, 0, &result);
    (void)engine.lastError();
    store.removeFormular(name);
    return 0;
}
