#pragma once

// What the parts of the frame comparison share: the chart's layout, the
// windows compared, and the ways of drawing one frame.

#include "BenchBars.h"

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>
#include <QRect>

#include <vector>

namespace CompareBench {

using namespace ZtUIDataStruct;

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kAxisWidth = 72;
constexpr int kTimeHeight = 30;
inline const QRect kPriceArea(0, 0, kWidth, 520);
inline const QRect kVolumeArea(0, 520, kWidth, 160);
inline const QRect kMacdArea(0, 680, kWidth, 190);
constexpr int kTimeTop = 870;

inline QColor themeColor(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

struct Case
{
    const char* name;
    int bars;
    int shown;
};

inline const Case kCases[] = {
    {"200_of_10k", 10000, 200},
    {"all_10k", 10000, 10000},
    {"200_of_1M", 1000000, 200},
};

// The bars of n daily quotes, made once.
DQDDataList& barsOf(int n);

constexpr bool kHavePeer = ZT_BENCH_PEER;
enum Way { eOurs, eQcp, eHand };
const char* const kWayNames[] = {"ours", "qcp", "hand"};
inline const std::vector<Way> kWays = kHavePeer ? std::vector<Way>{eOurs, eQcp, eHand} : std::vector<Way>{eOurs, eHand};

struct Scene;
// The scene of a case, built and drawn once on first use.
Scene& sceneOf(int caseIndex);
void drawFrame(Scene& scene, Way way, QImage* image);
void BM_Frame(benchmark::State& state, int caseIndex, Way way);

// One element of our frame alone, to show where the frame's time goes. The
// image is not cleared in between; "clear" is the clearing alone.
const char* const kPartNames[] = {"clear", "value_axes", "candles", "averages", "volume",
                                  "macd", "time_axis", "crosshair"};
void BM_Part(benchmark::State& state, int caseIndex, int part);

} // namespace CompareBench
