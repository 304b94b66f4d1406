// Engine line records built from the fuzz bytes, kept consistent with the
// engine's contract (every present series holds count items), are converted
// by FormulaResult::parseFromFline and then taken over and painted by a pane.

#include "FuzzSupport.h"

#include <deque>
#include <vector>

namespace {

// Reaches the pane's conversion of an engine result.
class Pane : public ZtLineLib_Formula
{
public:
    void take(FormulaResult* r) { createByFormulaResult(r); }
};

const int kDrawTypes[] = {eLINE, eSMOOTHLINE, eVOLSTICK, eVOLSTICK2, eCOLORSTICK,
                          eDRAWTEXT, eDRAWICON, eKLINE, eYDCM, 4, -1, 999};

// What the records point into; a deque keeps it in place as it grows.
struct Storage
{
    std::deque<std::vector<float>> series;
    std::deque<std::vector<int>> ints;
    std::deque<std::string> texts;

    float* floats(FuzzedDataProvider& in, int n)
    {
        if (in.ConsumeIntegralInRange<int>(0, 4) == 0)
            return nullptr;
        series.emplace_back();
        for (int i = 0; i < n; ++i)
            series.back().push_back(in.ConsumeBool() ? fuzz::hostileFloat(in)
                                                     : float(in.ConsumeIntegralInRange<int>(0, 30)));
        return series.back().data();
    }
    int* integers(FuzzedDataProvider& in, int n)
    {
        if (in.ConsumeBool())
            return nullptr;
        ints.emplace_back();
        for (int i = 0; i < n; ++i)
            ints.back().push_back(in.ConsumeIntegral<int>());
        return ints.back().data();
    }
    char* text(FuzzedDataProvider& in)
    {
        if (in.ConsumeIntegralInRange<int>(0, 5) == 0)
            return nullptr;
        texts.push_back(in.ConsumeRandomLengthString(24));
        return texts.back().data();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureGuiApplication();
    FuzzedDataProvider in(data, size);
    const int lineCount = in.ConsumeIntegralInRange<int>(0, 6);
    Storage store;
    std::vector<tagFLINE> records(static_cast<size_t>(lineCount));
    for (tagFLINE& r : records) {
        // A negative count promises nothing; the series then hold nothing.
        const int count = in.ConsumeIntegralInRange<int>(-2, 40);
        const int n = std::max(count, 0);
        r.lineFlag = in.ConsumeIntegral<unsigned char>();
        r.data1 = store.floats(in, n);
        r.data2 = store.floats(in, n);
        r.data3 = store.floats(in, n);
        r.data4 = store.floats(in, n);
        r.text = store.text(in);
        r.colorCodes = store.integers(in, n);
        r.drawType = in.PickValueInArray(kDrawTypes);
        r.param1 = fuzz::hostileInt(in);
        r.param2 = fuzz::hostileInt(in);
        r.lineWidth = fuzz::hostileInt(in);
        r.name = store.text(in);
        r.count = count;
        r.color = in.ConsumeIntegral<int>();
        r.lineStyle = in.ConsumeIntegral<std::uint16_t>();
        r.stripColor = store.integers(in, 3);
        r.rect = store.integers(in, 4);
    }
    tagFLINES flines;
    flines.lines = records.empty() ? nullptr : records.data();
    flines.count = lineCount;

    FormulaResult result;
    result.parseFromFline(flines);

    // Bars of hostile prices, also with empty and repeated keys.
    ZtUIDataStruct::DQDDataList list = fuzz::quoteList(in, false);
    const int bars = list.count();
    Pane pane;
    pane.setData(&list);
    pane.setRect(0, 0, 160, 90);
    pane.setRange(0, bars);
    pane.take(&result);
    QImage img(160, 90, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    pane.Fill(&p);
    for (int i = -1; i <= bars; ++i) {
        (void)pane.getDataString(i);
        (void)pane.getCrossCurvePointByKlineDataIndex(i, i % 3);
    }
    return 0;
}
