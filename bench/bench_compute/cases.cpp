// The cases of the computation benchmark: each pane type against its hand
// loop, compared before either is timed, and the demo chart's panes.

#include "HandPieces.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace ComputeBench {

using Type = ZtLineLib_Formula::enumFormulaType;

// The painting is not measured here; the pane only computes.
class Pane : public ZtLineLib_Formula
{
public:
    explicit Pane(Type type) : ZtLineLib_Formula(type) {}
    void FillChild(QPainter*) override {}
};


const std::vector<Case> kCases = {
    {"DLINE", Type::eFT_DLINE, false, true, handDline},
    {"KLINE", Type::eFT_KLINE, false, false, handKline},
    {"MA", Type::eFT_MA, true, false, handMa},
    {"VOL", Type::eFT_VOL, false, false, handVol},
    {"DLINEVOL", Type::eFT_DLINEVOL, false, true, handDlineVol},
    {"MACD", Type::eFT_MACD, true, false, handMacd},
    {"KDJ", Type::eFT_KDJ, true, false, handKdj},
    {"BIAS", Type::eFT_BIAS, true, false, handBias},
    {"CCI", Type::eFT_CCI, true, false, handCci},
    {"CR", Type::eFT_CR, true, false, handCr},
    {"VR", Type::eFT_VR, true, false, handVr},
    {"WR", Type::eFT_WR, true, false, handWr},
    {"RSI", Type::eFT_RSI, true, false, handRsi},
    {"BOLL", Type::eFT_BOLL, true, false, handBoll},
    {"DMA", Type::eFT_DMA, true, false, handDma},
    {"MTM", Type::eFT_MTM, true, false, handMtm},
    {"AB", Type::eFT_AB, true, false, handAb},
    {"ZJLX", Type::eFT_ZJLX, false, false, handZjlx},
    {"MMLD", Type::eFT_MMLD, false, false, handMmld},
    {"CMSD", Type::eFT_CMSD, false, false, handCmsd},
    {"RZRQ", Type::eFT_RZRQ, false, false, handRzrq},
    {"YDCM", Type::eFT_YDCM, false, false, nullptr},
    {"CLOSE", Type::eFT_CLOSE, false, false, handClose},
};

DQDDataList& listOf(const Case& c)
{
    return c.intraday ? fixture().minutesWeek : fixture().daily;
}

void configure(Pane& pane, const Case& c, DQDDataList* list)
{
    pane.setRect(0, 0, 1600, 300);
    pane.setPrec(2);
    pane.setData(list);
    if (c.intraday) {
        pane.setIsDLine(true);
        pane.setShowDRFS(5);
    }
    switch (c.type) {
    case Type::eFT_DLINE: pane.m_params = {1}; break;
    case Type::eFT_VOL: pane.m_params = {5, 10}; break;
    case Type::eFT_YDCM: pane.m_ydcmCount = 1; break;
    case Type::eFT_ZJLX:
    case Type::eFT_MMLD:
    case Type::eFT_CMSD:
    case Type::eFT_RZRQ: pane.m_codeList = QStringList{kCode}; break;
    default: break;
    }
}

void runPane(Pane& pane, const DQDDataList& list, bool intraday)
{
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    if (intraday)
        pane.setRange(0, list.count());
    else
        pane.setRange(list.count() - kShown, kShown);
}

bool close(double a, double b)
{
    const bool na = !(a > kZtNoValue && a < kZtNoValueMax);
    const bool nb = !(b > kZtNoValue && b < kZtNoValueMax);
    if (na || nb)
        return na && nb;
    return std::fabs(a - b) <= 1e-5 * std::max({std::fabs(a), std::fabs(b), 1.0});
}

// Empty when the pane's lines and the hand loop's agree at the probed indexes.
std::string compareLines(const Pane& pane, const HandResult& hand)
{
    const Formulas& f = pane.formulaLines();
    if (f.lineCount() != int(hand.lines.size()))
        return "line count " + std::to_string(f.lineCount()) + " vs "
               + std::to_string(hand.lines.size());
    for (int j = 0; j < f.lineCount(); ++j) {
        const QList<float>& ours = f.lineAt(j)->values;
        const std::vector<float>& theirs = hand.lines[size_t(j)];
        const int n = int(theirs.size());
        for (int i : {0, 1, 30, 99, n / 2, n - 2, n - 1}) {
            if (i < 0 || i >= n)
                continue;
            const double a = i < ours.size() ? double(ours.at(i)) : double(kZtNoValue);
            if (!close(a, theirs[size_t(i)]))
                return "line " + std::to_string(j) + " index " + std::to_string(i) + ": "
                       + std::to_string(a) + " vs " + std::to_string(theirs[size_t(i)]);
        }
    }
    return {};
}

std::string compareChips(const Pane& pane, const ChipHand& hand)
{
    const Formulas& f = pane.formulaLines();
    if (f.lineCount() != 1)
        return "expected one chip line, got " + std::to_string(f.lineCount());
    const auto& rows = f.lineAt(0)->chipRows;
    if (rows.size() != int(hand.rows.size()))
        return "chip rows " + std::to_string(rows.size()) + " vs " + std::to_string(hand.rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        if (!close(rows.at(i).first, hand.rows[size_t(i)].first)
            || !close(rows.at(i).second, hand.rows[size_t(i)].second))
            return "chip row " + std::to_string(i) + " differs";
    }
    return {};
}

std::string check(const Case& c)
{
    if (!fixture().error.isEmpty())
        return fixture().error.toStdString();
    DQDDataList& list = listOf(c);
    Pane pane(c.type);
    configure(pane, c, &list);
    runPane(pane, list, c.intraday);
    Scratch s;
    if (c.type == Type::eFT_YDCM) {
        ChipHand hand;
        handYdcm(list, hand, s);
        return compareChips(pane, hand);
    }
    HandResult hand;
    c.hand(list, hand, s);
    return compareLines(pane, hand);
}

void benchOurs(benchmark::State& state, const Case& c)
{
    const std::string problem = check(c);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    DQDDataList& list = listOf(c);
    Pane pane(c.type);
    configure(pane, c, &list);
    for (auto _ : state) {
        runPane(pane, list, c.intraday);
        benchmark::DoNotOptimize(pane.maxReference());
    }
    state.counters["bars"] = list.count();
}

void benchHand(benchmark::State& state, const Case& c)
{
    const std::string problem = check(c);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const DQDDataList& list = listOf(c);
    const int n = list.count();
    Scratch s;
    HandResult r;
    ChipHand chips;
    for (auto _ : state) {
        if (c.type == Type::eFT_YDCM) {
            handYdcm(list, chips, s);
            benchmark::DoNotOptimize(chips.rows.data());
            continue;
        }
        c.hand(list, r, s);
        if (c.intraday)
            windowRange(r, 0, n);
        else
            windowRange(r, n - kShown, n);
        benchmark::DoNotOptimize(r.hi);
    }
    state.counters["bars"] = n;
}

// The demo's panes: daily candles, averages, volume and MACD over 10,000
// bars, and the intraday price and volume panes of its one-day and
// five-day charts.
void benchDemo(benchmark::State& state)
{
    Fixture& fx = fixture();
    if (!fx.error.isEmpty()) {
        state.SkipWithError(fx.error.toUtf8().constData());
        return;
    }
    std::vector<std::unique_ptr<Pane>> daily;
    for (Type t : {Type::eFT_KLINE, Type::eFT_MA, Type::eFT_VOL, Type::eFT_MACD}) {
        daily.emplace_back(new Pane(t));
        daily.back()->setRect(0, 0, 1280, 300);
        daily.back()->setPrec(2);
        daily.back()->setData(&fx.demoDaily);
        if (t == Type::eFT_VOL)
            daily.back()->m_params = {5, 10};
    }
    std::vector<std::pair<std::unique_ptr<Pane>, DQDDataList*>> intraday;
    for (auto days : {std::make_pair(1, &fx.minutesDay), std::make_pair(5, &fx.minutesWeek)}) {
        for (Type t : {Type::eFT_DLINE, Type::eFT_DLINEVOL}) {
            auto pane = std::make_unique<Pane>(t);
            pane->setRect(0, 0, 1280, 250);
            pane->setPrec(2);
            pane->setIsDLine(true);
            pane->setIsMainChat(true);
            pane->setShowDRFS(days.first);
            pane->setData(days.second);
            if (t == Type::eFT_DLINE)
                pane->m_params = {1};
            intraday.emplace_back(std::move(pane), days.second);
        }
    }
    for (auto _ : state) {
        for (auto& p : daily)
            runPane(*p, fx.demoDaily, false);
        for (auto& p : intraday)
            runPane(*p.first, *p.second, true);
        benchmark::DoNotOptimize(daily.back()->maxReference());
    }
}

} // namespace ComputeBench
