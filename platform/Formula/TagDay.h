#pragma once

#include "FormulaGlobal.h"

#include <vector>

// The bar input of one formula evaluation. PBDataChange::LBDG_TagDayVector
// produces one record per bar, in data order. So that the evaluator reads
// contiguous columns instead of a heap block per bar, the series of the whole
// evaluation travel in the first record of the vector; each record carries
// its own bar's date in m_date, and the vectors of later records are empty.
//
// Columns of the first record (all of the same length, one entry per bar):
//   m_time      time of day HHmmss (0 for daily bars)
//   m_open … m_average, m_preClose, m_change   quote fields 33030 … 33130
//   m_amount    turnover in yuan (0 when the source has none)
//   m_floatShares  free-float shares at the bar (0 when unknown)
//   m_reserved  not used yet
//   m_dateCol   yyyymmdd of each bar
//   m_valid     1 for a bar with data (key > 0), 0 for an empty slot
// The formula engine reads m_open, m_high, m_low, m_close, m_volume,
// m_amount and m_valid; a bar with m_valid 0, a non-finite value or the
// no-value marker has no value, and a column shorter than the vector leaves
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
    eTagDayReserved = 1u << 10,
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
