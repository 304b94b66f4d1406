#pragma once

#include "FormulaGlobal.h"

#include <vector>

// The bar input of one formula evaluation, one record per bar in data
// order. So that the evaluator reads contiguous columns instead of a heap
// block per bar, the records come in runs: PBDataChange::LBDG_TagDayVector
// makes one run, whose first record carries the columns of all its records;
// each record carries its own bar's date in m_date, and the vectors of the
// run's other records are empty. A host that keeps the input and converts
// only the records from k on (a tick, an appended bar) erases the old
// records from k and appends the new run: any concatenation of runs is a
// valid input. A record with a non-empty m_valid column starts a run that
// covers the following records up to its column length or the next run's
// start, whichever comes first; records no run covers have no value.
//
// Columns of a run's first record (one entry per bar of the run):
//   m_time      time of day HHmmss (0 for daily bars)
//   m_open … m_average, m_preClose, m_change   quote fields 33030 … 33130
//   m_amount    turnover in yuan (0 when the source has none)
//   m_floatShares  free-float shares at the bar (0 when unknown)
//   m_dateCol   yyyymmdd of each bar
//   m_valid     1 for a bar with data (key > 0), 0 for an empty slot
// and m_reserved, no column: the run's serial (TagDayRun.h), which lets the
// engine resume from the first bar whose run it has not evaluated before.
// The columns of a run are not to be edited after the conversion: convert
// again instead. Between two evaluations, a kept input is changed by one cut
// and appending after it (any number of runs): the engine looks for new
// runs only after the last run start it saw before, checks the earlier
// starts by serial from the end back to the first that still holds its run,
// and takes the runs before that as they were.
// The formula engine reads m_open, m_high, m_low, m_close, m_volume,
// m_amount and m_valid; a bar with m_valid 0, a non-finite value or the
// no-value marker has no value, and a column shorter than its run leaves
// the bars beyond it without a value.
// The price columns of TagDay as bits, for callers that fill only the ones
// an evaluation reads (ModuleFormular::inputColumns).
enum TagDayColumn : unsigned {
    eTagDayOpen = 1u << 0,
    eTagDayHigh = 1u << 1,
    eTagDayLow = 1u << 2,
    eTagDayClose = 1u << 3,
    eTagDayVolume = 1u << 4,
    eTagDayAmount = 1u << 5,
    eTagDayAverage = 1u << 6,
    eTagDayPreClose = 1u << 7,
    eTagDayChange = 1u << 8,
    eTagDayFloatShares = 1u << 9,
    eTagDayReserved = 1u << 10, // no column any more: m_reserved holds the serial
    eTagDayAllColumns = (1u << 11) - 1,
};

struct FORMULA_EXPORT TagDay
{
    int m_date = 0;
    std::vector<int> m_time;
    std::vector<float> m_open;
    std::vector<float> m_high;
    std::vector<float> m_low;
    std::vector<float> m_close;
    std::vector<float> m_volume;
    std::vector<float> m_amount;
    std::vector<float> m_average;
    std::vector<float> m_preClose;
    std::vector<float> m_change;
    std::vector<float> m_floatShares;
    std::vector<float> m_reserved;
    std::vector<int> m_dateCol;
    std::vector<int> m_valid;
};
