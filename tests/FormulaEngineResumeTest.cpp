// The engine's input as spliced runs, and evaluation resumed from the
// first changed bar, against evaluations of whole fresh conversions.

#include "FormulaEngineTestSupport.h"
#include "TestKit.h"

#include <TagDayRun.h>
#include <internal/FormulaResume.h>

#include <algorithm>
#include <iterator>
#include <random>

using namespace FormulaTest;
using namespace ZtUIDataStruct;

namespace {

qint64 keyOf(int i)
{
    return 20100104093000LL + qint64(i) * 1000000LL;
}

// A random walk of quote records with an empty slot now and then.
DQDDataList quotes(int n, std::uint32_t seed)
{
    const Bars b = randomBars(n, seed);
    DQDDataList list;
    for (size_t i = 0; i < size_t(n); ++i)
        list.append(i % 97 == 41 ? testkit::record(0)
                                 : testkit::ohlc(keyOf(int(i)), b.open[i], b.high[i], b.low[i], b.close[i], b.volume[i]));
    return list;
}

// The lines of formula over input; a failure gives one line named after it.
std::vector<CapturedLine> evaluate(const std::string& formula, CInputData& input)
{
    ModuleFormular engine;
    CapturedResult r;
    std::string name = formula;
    if (!engine.ComputeDayFormular(name, input, 1, 0, &r))
        return {CapturedLine{"error: " + engine.lastError()}};
    return r.captured;
}

// A fresh conversion of the whole list: runs the engine has never seen.
std::vector<CapturedLine> fresh(const std::string& formula, DQDDataList& list)
{
    CInputData input;
    input.days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
    return evaluate(formula, input);
}

// What a host keeping its input does when records from k on changed.
void splice(CInputData& input, DQDDataList& list, int k)
{
    std::vector<TagDay> tail = PBDataChange::LBDG_TagDayVector(&list, k, list.count() - k);
    input.days.erase(input.days.begin() + std::min<std::ptrdiff_t>(k, std::ptrdiff_t(input.days.size())),
                     input.days.end());
    std::move(tail.begin(), tail.end(), std::back_inserter(input.days));
}

struct UserFormula
{
    const char* name;
    const char* source;
};

// Resumable functions only, and the same with functions that read the bar
// dates, the bar count or later bars.
const UserFormula kMixed = {"RESUME_MIXED",
                            "A:=(C-LLV(L,9))/(HHV(H,9)-LLV(L,9))*100;\n"
                            "K:SMA(A,3,1);\nE:EMA(C,12)-EMA(C,26);\n"
                            "B:MA(C,20)+2*STD(C,20);\nS:SUM(IF(C>REF(C,1),VOL,0),0);\n"
                            "X:COUNT(CROSS(C,MA(C,5)),10);\nH:HHV(H,0)-LLV(L,0);\n"
                            "D:AVEDEV(ABS(C-O),6)/MAX(0.01,MIN(H-L,C));\n"
                            "F:BARSLAST(C>=REF(C,2) AND NOT(C=O));\nM:MA(E,9)-DMA(C,0.2)+MEMA(L,5);\nZ:EMA(C,0);\nG:DMA(C,0.2);"};
// Resuming counts of bars and TR: gaps (every 97th record), ties of the
// extreme, N = 0, N longer than the bars and N a line.
const UserFormula kCounts = {"RESUME_COUNTS",
                             "A:HHVBARS(H,3);\nB:LLVBARS(L,0);\nR:BARSLASTCOUNT(C>O);\nT:TR;\n"
                             "P:HHVBARS(ABS(BARPOS-130),0);\nL:LLVBARS(C,300);\n"
                             "N:BARSCOUNT(C)+BARSSINCE(C>REF(C,1));\nV:HHVBARS(C,R+1);"};
const UserFormula kNonResumable = {"RESUME_NOT", "A:MA(C,5);B:DATE;T:REFX(C,2);N:BARSCOUNT(C);"
                                                 "W:WMA(C,4);G:DMA(C,0.2);"};

} // namespace

TEST(FormulaEngineResume, ResumedEqualsFreshAfterRandomChanges)
{
    CDFormulaManage store;
    for (const UserFormula& f : {kMixed, kCounts, kNonResumable}) {
        TagFormularContent c = definition(f.name, f.source);
        ASSERT_TRUE(store.SetFormularContent(c));
    }
    // Ticks on the last record, appended records, edits inside the history
    // and evaluations with nothing changed, each spliced into the kept input
    // as a host does; after each, the lines must be bit for bit those of a
    // fresh conversion (whose runs the engine has never seen).
    const char* const formulas[] = {"MA",  "MACD", "KDJ", "BIAS", "CCI", "CR", "VR",
                                    "WR",  "RSI",  "BOLL", "DMA", "MTM", "AB",
                                    kMixed.name, kCounts.name, kNonResumable.name};
    std::mt19937 rng(20261207);
    const auto price = [&rng]() { return 8.0 + double(rng() % 500) / 100.0; };
    for (const char* formula : formulas) {
        DQDDataList list = quotes(260, rng());
        *list.at(255) = testkit::record(0); // inside the windows of the last bars
        CInputData input;
        input.days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
        ASSERT_EQ(evaluate(formula, input), fresh(formula, list)) << formula;
        for (int step = 0; step < 30; ++step) {
            const int n = list.count();
            int k = n;
            switch (rng() % 5) {
            case 0: // a trade on the last bar, or the close of the bar before again
            case 1: {
                const double c = rng() % 3 == 0 ? list.at(n - 2)->numberValue(eFieldClose, 10.0) : price();
                list.at(n - 1)->setValue(eFieldClose, c);
                list.at(n - 1)->setValue(eFieldHigh, std::max(c, list.at(n - 1)->numberValue(eFieldHigh, c)));
                list.at(n - 1)->setValue(eFieldVolume, double(rng() % 90000));
                k = n - 1;
                break;
            }
            case 2: {
                const double c = price();
                list.append(testkit::ohlc(keyOf(n), c, c + 0.1, c - 0.1, c, 1000.0 + rng() % 5000));
                k = n;
                break;
            }
            case 3: // the bar before the last (resumed before the last saved state) or any
                k = rng() % 4 == 0 ? n - 2 : int(rng() % unsigned(n));
                list.at(k)->setValue(eFieldClose, price());
                break;
            default:
                break;
            }
            splice(input, list, k);
            ASSERT_EQ(evaluate(formula, input), fresh(formula, list))
                << formula << " step " << step << " from bar " << k;
        }
    }
    // A bar appended to 64 bars resumes the deviation past its last saved state.
    DQDDataList list = quotes(64, 5);
    CInputData input;
    input.days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
    ASSERT_EQ(evaluate(kMixed.name, input), fresh(kMixed.name, list));
    list.append(testkit::ohlc(keyOf(64), 10, 11, 9, 10.5, 500));
    splice(input, list, 64);
    EXPECT_EQ(evaluate(kMixed.name, input), fresh(kMixed.name, list));
    // An appended ninth bar fills the nine-bar windows for the first time.
    DQDDataList nine;
    for (int i = 0; i < 9; ++i)
        nine.append(testkit::ohlc(keyOf(i), 10, 11 + i % 3, 9 - i % 2, 10.5, 500));
    input.days = PBDataChange::LBDG_TagDayVector(&nine, 0, 8);
    evaluate(kMixed.name, input);
    splice(input, nine, 8);
    EXPECT_EQ(evaluate(kMixed.name, input), fresh(kMixed.name, nine));
    // DMA resumes from its one earlier value, on bar 0, across empty slots.
    DQDDataList sparse;
    sparse.append(testkit::ohlc(keyOf(0), 10, 11, 9, 10.5, 500));
    for (int i = 1; i < 4; ++i)
        sparse.append(testkit::record(0));
    input.days = PBDataChange::LBDG_TagDayVector(&sparse, 0, sparse.count());
    ASSERT_EQ(evaluate(kMixed.name, input), fresh(kMixed.name, sparse));
    sparse.append(testkit::ohlc(keyOf(4), 12, 12, 12, 12, 500));
    splice(input, sparse, 4);
    EXPECT_EQ(evaluate(kMixed.name, input), fresh(kMixed.name, sparse));
    // A vector built by hand (no serial, columns in the first record) still
    // reads as one run.
    input.days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
    input.days.front().m_reserved.clear();
    EXPECT_EQ(evaluate("MACD", input), fresh("MACD", list));
    input.days.front().m_reserved = {1.0f, -1.0f}; // out of range: no serial either
    EXPECT_EQ(TagDayRun::serialOf(input.days.front()), 0u);
    // No list, or a start far past its end, converts to no bars.
    EXPECT_TRUE(PBDataChange::LBDG_TagDayVector(nullptr, 0, 6).empty());
    EXPECT_TRUE(PBDataChange::LBDG_TagDayVector(&list, INT_MAX, 6).empty());
}

TEST(FormulaEngineResume, ReplacedInputsMakeRoomBeforeStatesStillInUse)
{
    // An input converted anew again and again (a reloaded list) leaves
    // states behind; they go before the state of another input last used
    // before them.
    const auto state = [](const void* owner, std::uint64_t serial) {
        auto s = std::make_unique<FormulaResumeState>();
        s->key = "RELOADED";
        s->owner = owner;
        s->runs.push_back(FormulaRun{0, 1, true, serial});
        return s;
    };
    TagDay live;
    TagDayRun::stamp(live, TagDayRun::newSerial());
    const int ticked = 0, reloaded = 0;
    FormulaResumeCache::keep(state(&ticked, TagDayRun::serialOf(live)));
    for (size_t i = 0; i < FormulaResumeCache::kMaxKept; ++i)
        FormulaResumeCache::keep(state(&reloaded, TagDayRun::newSerial()));
    EXPECT_NE(FormulaResumeCache::find("RELOADED", {live}), nullptr);
}
