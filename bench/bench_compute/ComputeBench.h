#pragma once

// What the parts of the computation benchmark share: the quote lists and
// feeds both sides read, the hand loops' results, and the cases.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QString>

#include <limits>
#include <utility>
#include <vector>

namespace ComputeBench {

using namespace ZtUIDataStruct;

constexpr int kDailyBars = 100000;
constexpr int kDemoBars = 10000;
constexpr int kShown = 200;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline const QString kCode = QStringLiteral("SH999999");

// One feed row per bar: a host keeps what it hands the service.
struct FeedRow
{
    qint64 key;
    std::vector<double> values;
};

struct Feed
{
    std::vector<FeedRow> rows;
    QByteArray csv;
};

struct Fixture
{
    DQDDataList daily;
    DQDDataList demoDaily;
    DQDDataList minutesDay;
    DQDDataList minutesWeek;
    Feed fundFlow, power, chipLock, margin;
    QString error;
};

// The lists, and the feeds attached to the data service; error says what
// could not be set up.
Fixture& fixture();

using Series = std::vector<double>;
using Lines = std::vector<std::vector<float>>;

// What a hand loop leaves behind: the lines as a pane stores them (float,
// the no-value marker where there is none) and the range over the window.
struct HandResult
{
    Lines lines;
    double lo = kZtNoValueMax;
    double hi = kZtNoValue;
};

struct Scratch
{
    Series o, h, l, c, v, a, b, d, e, f, g, t;
};


// Chip distribution at the last bar: turnover is volume over a float of 100
// mean volumes (no float shares known), triangles peaking at amount ÷ volume,
// decay applied lazily through one scale factor.
struct ChipHand
{
    std::vector<std::pair<double, double>> rows; // price, volume
};


// The hand loops, one per pane type.
using HandLoop = void (*)(const DQDDataList&, HandResult&, Scratch&);
void handMa(const DQDDataList& list, HandResult& r, Scratch& s);
void handMacd(const DQDDataList& list, HandResult& r, Scratch& s);
void handKdj(const DQDDataList& list, HandResult& r, Scratch& s);
void handBias(const DQDDataList& list, HandResult& r, Scratch& s);
void handCci(const DQDDataList& list, HandResult& r, Scratch& s);
void handCr(const DQDDataList& list, HandResult& r, Scratch& s);
void handVr(const DQDDataList& list, HandResult& r, Scratch& s);
void handWr(const DQDDataList& list, HandResult& r, Scratch& s);
void handRsi(const DQDDataList& list, HandResult& r, Scratch& s);
void handBoll(const DQDDataList& list, HandResult& r, Scratch& s);
void handDma(const DQDDataList& list, HandResult& r, Scratch& s);
void handMtm(const DQDDataList& list, HandResult& r, Scratch& s);
void handAb(const DQDDataList& list, HandResult& r, Scratch& s);
void handKline(const DQDDataList& list, HandResult& r, Scratch& s);
void handClose(const DQDDataList& list, HandResult& r, Scratch& s);
void handVol(const DQDDataList& list, HandResult& r, Scratch& s);
void handDline(const DQDDataList& list, HandResult& r, Scratch& s);
void handDlineVol(const DQDDataList& list, HandResult& r, Scratch& s);
void handZjlx(const DQDDataList& list, HandResult& r, Scratch& s);
void handMmld(const DQDDataList& list, HandResult& r, Scratch& s);
void handCmsd(const DQDDataList& list, HandResult& r, Scratch& s);
void handRzrq(const DQDDataList& list, HandResult& r, Scratch& s);
void handYdcm(const DQDDataList& list, ChipHand& out, Scratch& s);

using Type = ZtLineLib_Formula::enumFormulaType;

struct Case
{
    const char* name;
    Type type;
    bool engine;
    bool intraday;
    void (*hand)(const DQDDataList&, HandResult&, Scratch&);
};


extern const std::vector<Case> kCases;

// The pane's computation and the hand loop's of one case, checked against
// each other first; the demo's panes together.
void benchOurs(benchmark::State& state, const Case& c);
void benchHand(benchmark::State& state, const Case& c);
void benchDemo(benchmark::State& state);

} // namespace ComputeBench
