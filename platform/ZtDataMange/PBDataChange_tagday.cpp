#include "PBDataChange.h"

#include <DQDFieldId.h>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

float fieldValue(const DQDUnionReader& r, unsigned int id, float fallback = kFormulaNoValue)
{
    return float(r.numberValue(id, double(fallback)));
}

} // namespace

std::vector<TagDay> PBDataChange::LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list,
                                                    int start, int count)
{
    std::vector<TagDay> days;
    LBDG_TagDayVector(list, start, count, days);
    return days;
}

void PBDataChange::LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start, int count,
                                     std::vector<TagDay>& days)
{
    // Only the first record holds columns; clearing them keeps their
    // capacity, so a caller that passes the same vector again writes into
    // memory it already owns.
    if (!days.empty()) {
        TagDay& old = days.front();
        old.m_date = 0;
        for (auto* c : {&old.m_open, &old.m_high, &old.m_low, &old.m_close, &old.m_volume,
                        &old.m_amount, &old.m_average, &old.m_preClose, &old.m_change,
                        &old.m_floatShares, &old.m_reserved})
            c->clear();
        old.m_time.clear();
        old.m_dateCol.clear();
        old.m_valid.clear();
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

    TagDay& cols = days.front();
    for (auto* c : {&cols.m_open, &cols.m_high, &cols.m_low, &cols.m_close, &cols.m_volume,
                    &cols.m_amount, &cols.m_average, &cols.m_preClose, &cols.m_change,
                    &cols.m_floatShares, &cols.m_reserved})
        c->reserve(size_t(n));
    cols.m_time.reserve(size_t(n));
    cols.m_dateCol.reserve(size_t(n));
    cols.m_valid.reserve(size_t(n));

    for (int i = 0; i < n; ++i) {
        const ZtUIDataStruct::DQDUnionReader* r = list->at(first + i);
        // A time outside the encodable range (or NaN) reads as no time.
        const double dtv = r->numberValue(eFieldDateTime, 0);
        const quint64 dt = dtv > 0 && dtv < 1e17 ? quint64(dtv) : 0;
        const int date = int(dt / 1000000);
        days[size_t(i)].m_date = date;
        cols.m_dateCol.push_back(date);
        cols.m_time.push_back(int(dt % 1000000));
        cols.m_valid.push_back(r->uniqueKey() > 0 ? 1 : 0);
        cols.m_open.push_back(fieldValue(*r, eFieldOpen));
        cols.m_high.push_back(fieldValue(*r, eFieldHigh));
        cols.m_low.push_back(fieldValue(*r, eFieldLow));
        cols.m_close.push_back(fieldValue(*r, eFieldClose));
        cols.m_volume.push_back(fieldValue(*r, eFieldVolume));
        cols.m_amount.push_back(fieldValue(*r, eFieldAmount, 0.0f));
        cols.m_average.push_back(fieldValue(*r, eFieldAverage));
        cols.m_preClose.push_back(fieldValue(*r, eFieldPreClose));
        cols.m_change.push_back(fieldValue(*r, eFieldChange));
        cols.m_floatShares.push_back(fieldValue(*r, eZtFieldFloatShares, 0.0f));
        cols.m_reserved.push_back(0.0f);
    }
}
