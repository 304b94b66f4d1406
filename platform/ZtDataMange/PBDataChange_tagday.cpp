#include "PBDataChange.h"

#include <DQDFieldId.h>
#include <TagDayRun.h>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

// One price column: where it goes, the field it comes from and what a
// record without that field gives.
struct ColumnSource
{
    std::vector<float> TagDay::*column;
    TagDayColumn bit;
    unsigned int field;
    float fallback;
};

const ColumnSource kColumns[] = {
    {&TagDay::m_open, eTagDayOpen, eFieldOpen, kFormulaNoValue},
    {&TagDay::m_high, eTagDayHigh, eFieldHigh, kFormulaNoValue},
    {&TagDay::m_low, eTagDayLow, eFieldLow, kFormulaNoValue},
    {&TagDay::m_close, eTagDayClose, eFieldClose, kFormulaNoValue},
    {&TagDay::m_volume, eTagDayVolume, eFieldVolume, kFormulaNoValue},
    {&TagDay::m_amount, eTagDayAmount, eFieldAmount, 0.0f},
    {&TagDay::m_average, eTagDayAverage, eFieldAverage, kFormulaNoValue},
    {&TagDay::m_preClose, eTagDayPreClose, eFieldPreClose, kFormulaNoValue},
    {&TagDay::m_change, eTagDayChange, eFieldChange, kFormulaNoValue},
    {&TagDay::m_floatShares, eTagDayFloatShares, eZtFieldFloatShares, 0.0f},
};

void clearColumns(TagDay& first)
{
    first.m_date = 0;
    for (const ColumnSource& c : kColumns)
        (first.*c.column).clear();
    first.m_reserved.clear();
    first.m_time.clear();
    first.m_dateCol.clear();
    first.m_valid.clear();
}

} // namespace

std::vector<TagDay> PBDataChange::LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list,
                                                    int start, int count)
{
    // Room for an eighth more: a caller that keeps the records and appends
    // the bars of a live feed to them then does not move them all (344 bytes
    // a bar) on its first append. Pages of that room are touched only when
    // used.
    std::vector<TagDay> days;
    if (list && count > 0) {
        const qint64 end = std::min<qint64>(qint64(start) + count, list->count());
        const qint64 n = std::max<qint64>(end - std::max(start, 0), 0);
        if (n > 0)
            days.reserve(size_t(n + n / 8));
    }
    LBDG_TagDayVector(list, start, count, days);
    return days;
}

void PBDataChange::LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start, int count,
                                     std::vector<TagDay>& days)
{
    LBDG_TagDayVector(list, start, count, days, eTagDayAllColumns);
}

void PBDataChange::LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start, int count,
                                     std::vector<TagDay>& days, unsigned columns)
{
    // A run keeps its columns in its first record; clearing them keeps their
    // capacity, so a caller that passes the same vector again writes into
    // memory it already owns. Later runs of a spliced vector are dropped
    // (a record that keeps a column would start a run of its own).
    if (!days.empty())
        clearColumns(days.front());
    for (size_t i = days.size(); i-- > 1;) {
        if (!days[i].m_valid.empty())
            days.erase(days.begin() + std::ptrdiff_t(i), days.end());
    }
    if (!list || count <= 0) {
        days.clear();
        return;
    }
    const int first = std::max(start, 0);
    const qint64 end64 = std::min<qint64>(qint64(start) + count, list->count());
    const int n = int(std::max<qint64>(end64 - first, 0));
    days.resize(size_t(n));
    if (n == 0)
        return;

    // Column by column: each pass reads one field of every record and
    // writes one contiguous column.
    const DQDSelection* records = list;
    TagDay& cols = days.front();
    cols.m_time.resize(size_t(n));
    cols.m_dateCol.resize(size_t(n));
    cols.m_valid.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const DQDUnionReader* r = records->at(first + i);
        // A time outside the encodable range (or NaN) reads as no time.
        const double dtv = r->numberValue(eFieldDateTime, 0);
        const quint64 dt = dtv > 0 && dtv < 1e17 ? quint64(dtv) : 0;
        const int date = int(dt / 1000000);
        days[size_t(i)].m_date = date;
        cols.m_dateCol[size_t(i)] = date;
        cols.m_time[size_t(i)] = int(dt % 1000000);
        cols.m_valid[size_t(i)] = r->uniqueKey() > 0 ? 1 : 0;
    }
    for (const ColumnSource& c : kColumns) {
        if (!(columns & c.bit))
            continue;
        std::vector<float>& column = cols.*c.column;
        column.resize(size_t(n));
        float* out = column.data();
        for (int i = 0; i < n; ++i)
            out[i] = float(records->at(first + i)->numberValue(c.field, double(c.fallback)));
    }
    TagDayRun::stamp(cols, TagDayRun::newSerial());
}
