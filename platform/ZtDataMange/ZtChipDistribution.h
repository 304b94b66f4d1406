#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtDataMangeTypes.h"

#include <ClientData.pb.h>

#include <QVector>

#include <vector>

// The moving chip distribution: how the float of an instrument is spread
// over the prices it was last bought at.
//
// Chips are kept as fractions of the free float, one number per price row.
// Each bar, in order, first decays every chip by its turnover t
// (chips *= 1 − t: that share of every holding changed hands) and then lays
// t of new chips over its own low–high rows, either evenly (uniform) or as a
// triangle peaking at its average price and falling linearly towards low and
// high (each side's slope reaches zero one row beyond the range, so the end
// rows keep a small share). A bar with t = 1 therefore replaces every chip.
//
// Price grid: rows at origin + k × step, origin = the lowest low rounded down
// to the step. The step is the finest of 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1,
// 2, 5 … yuan that keeps the rows from the lowest low to the highest high at
// or below kMaxRows. A price falls in the nearest row.
//
// Time layers: for a period P the chips laid by the last P bars (the bar
// evaluated included), decayed by the bars after them; "older than P" is the
// rest. Layer figures are shares of all chips.
//
// Key figures of the bar evaluated, from the layer of all chips:
//   hlbl    share of chips in rows at or below the row of the close
//   pjcb    chip-weighted mean row price
//   p90min/p90max, p70min/p70max   the rows where the running sum of chips
//           from the cheapest row first reaches 5 %/95 % and 15 %/85 %
//   p90jzd, p70jzd   (max − min) ÷ (max + min) of those ranges
// Rows holding less than kNegligible of all chips are left out of the
// profiles (they are invisible and would only bloat the answer).
class ZTDATAMANGE_EXPORT ZtChipDistribution
{
public:
    struct Bar
    {
        qint64 key = 0;
        double low = 0.0;
        double high = 0.0;
        double average = 0.0;      // peak of the triangle, within low … high
        double close = 0.0;
        double turnover = 0.0;     // 0 … 1
        double floatShares = 0.0;  // turns fractions into shares in the answer
    };

    static constexpr double kMinStep = 0.01;
    static constexpr int kMaxRows = 5000;
    static constexpr double kNegligible = 1e-9;
    // Bounds that keep a hostile request from running for minutes: at most
    // kMaxCount distributions and kMaxLayers time layers (the first ones
    // given) per answer.
    static constexpr int kMaxCount = 250;
    static constexpr int kMaxLayers = 16;
    // Prices above this are taken as corrupt (and would overflow the
    // five-decimal row prices).
    static constexpr double kMaxPrice = 1e9;

    ZtChipDistribution(const QVector<Bar>& bars, ZtE_YDCMJS_CMFB_TYPE shape);

    // Distributions at the last count bars (1 … kMaxCount), oldest first.
    ClientData::ClientDataMSG compute(int count, ZtE_YDCMJS_OUT_TYPE outType,
                                      const QVector<int>& periods) const;

    static double gridStep(double low, double high);
    double step() const { return m_step; }
    int rowCount() const { return m_rows; }

private:
    struct Profile
    {
        std::vector<double> chips;  // fractions of the float, one per row
        int lo = 0;                 // rows lo … hi may hold chips
        int hi = -1;
        void touch(int first, int last);
    };

    int rowOf(double price) const;
    qint64 rowPriceLL(int row) const { return m_originLL + qint64(row) * m_stepLL; }
    // New chips of bar i over its rows, summing to the bar's turnover.
    void layBar(int i, std::vector<double>* weights, int* first) const;
    // Per period, the chips laid by the last `period` bars up to bar at.
    std::vector<Profile> youngerLayers(int at, const QVector<int>& periods) const;
    void appendRecord(int at, const Profile& all, ZtE_YDCMJS_OUT_TYPE outType,
                      const QVector<int>& periods, ClientData::ClientDataMSG* msg) const;
    void appendRows(const Profile& p, double total, double shares,
                    ClientData::YdcmSjfb* layer) const;
    void setKeyFigures(int at, const Profile& all, double total, ClientData::YdcmData* d) const;

    QVector<Bar> m_bars;
    ZtE_YDCMJS_CMFB_TYPE m_shape;
    double m_origin = 0.0;
    double m_step = kMinStep;
    qint64 m_originLL = 0;
    qint64 m_stepLL = 1000;
    int m_rows = 0;
};
