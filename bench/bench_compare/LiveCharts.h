#pragma once

// The two sides of the live-update benchmark: our panes over a quote list
// the benchmark edits as a quote callback would, and the hand loop's plain
// arrays.

#include "LiveBench.h"

#include <ZtLineLib.h>

#include <memory>
#include <vector>

namespace LiveBench {

using ZtUIDataStruct::DQDDataList;

// The fields a tick or a new bar brings.
struct Bar
{
    double open = 0, high = 0, low = 0, close = 0, volume = 0;
};

// The value range of one pane over the window.
struct Range
{
    double lo = kZtNoValueMax;
    double hi = kZtNoValue;
};

// A list the benchmark can cut back to its first n records after a run of
// appends, as a host would replace it.
class LiveList : public DQDDataList
{
public:
    void truncate(int n) { m_records.resize(n); }
};

// The bar tick `step` brings to the last record (or append `step` adds):
// prices alternately far above and far below the bar before, so that every
// step moves the range and a pane that missed it would show.
Bar barForStep(const Bar& before, long step);
Bar barAt(const DQDDataList& list, int i);

class HandChart
{
public:
    explicit HandChart(Chart chart);

    void load(const DQDDataList& list);
    int count() const { return int(m_c.size()); }
    void scroll(int first);
    void tick(const Bar& bar);
    void append(const Bar& bar);
    void truncate(int n);

    // The lines in pane order (the demo chart's candles as high and low).
    int lineCount() const { return m_shownLines; }
    double valueAt(int line, int i) const { return m_lines[size_t(line)][size_t(i)]; }
    const std::vector<Range>& ranges() const { return m_ranges; }

private:
    void computeAt(size_t i);
    void computeDemoAt(size_t i);
    void computeFormulaAt(size_t i);
    void noteRow(size_t i);
    void rangeOver(int first);
    void resizeTo(size_t n);
    // Writes one bar's fields at i and computes its lines.
    void storeAt(size_t i, const Bar& bar);

    Chart m_chart;
    std::vector<double> m_o, m_h, m_l, m_c, m_v;
    // Shown lines first, then the helpers (the demo's two EMAs).
    std::vector<std::vector<double>> m_lines;
    int m_shownLines = 0;
    std::vector<std::vector<int>> m_panes; // line indices of each pane
    std::vector<double> m_paneFloor;       // where a pane's range starts (volume: 0)
    std::vector<std::vector<double>> m_rowLow, m_rowHigh; // per pane, per record
    std::vector<Range> m_ranges;
};

class OurLiveChart
{
public:
    OurLiveChart(Chart chart, const DQDDataList& bars);
    OurLiveChart(const OurLiveChart&) = delete;
    OurLiveChart& operator=(const OurLiveChart&) = delete;

    Chart chart() const { return m_chart; }
    int count() const { return m_list.count(); }
    const DQDDataList& list() const { return m_list; }
    // The host's drive cycle over the window first … first + 199.
    void compute(int first, bool dataUnchanged);
    void scroll(int first) { compute(first, true); }
    void tick(const Bar& bar);
    void append(const Bar& bar);
    // Back to the first n records, everything recomputed.
    void truncate(int n);

    // The value of hand line `line` at record i, and the panes' ranges.
    double valueAt(int line, int i) const;
    std::vector<Range> ranges() const;
    std::vector<int> precisions() const;

private:
    Chart m_chart;
    LiveList m_list;
    std::vector<std::unique_ptr<ZtLineLib_Formula>> m_panes;
    std::vector<double> m_floor;
    // Hand line k is line m_map[k].second of pane m_map[k].first.
    std::vector<std::pair<int, int>> m_map;
};

} // namespace LiveBench
