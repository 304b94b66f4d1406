#include "ReplayFeed.h"

#include <DQDFieldId.h>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

ReplayFeed::ReplayFeed(DQDDataList* list, int start, bool keepSlots)
    : m_list(list)
    , m_keepSlots(keepSlots)
{
    const int n = list->count();
    m_start = std::clamp(start, std::min(1, n), n);
    DQDDataList history;
    history.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (i < m_start) {
            history.append(*list->at(i));
            continue;
        }
        m_pending.append(*list->at(i));
        if (keepSlots)
            history.append(DQDUnionReader());
    }
    *list = history;
}

DQDUnionReader ReplayFeed::tickOf(const DQDUnionReader& bar, int tick)
{
    if (tick >= kTicksPerBar)
        return bar;
    const double open = bar.numberValue(eFieldOpen, 0);
    const double high = bar.numberValue(eFieldHigh, open);
    const double low = bar.numberValue(eFieldLow, open);
    const double close = bar.numberValue(eFieldClose, open);
    // The extreme on the far side of the close comes first.
    const bool rising = close >= open;
    const double path[] = {open, rising ? low : high, rising ? high : low};
    const double* seen = path + std::clamp(tick, 1, kTicksPerBar - 1);
    const double price = seen[-1];
    const double share = double(tick) / kTicksPerBar;
    DQDUnionReader r = bar;
    r.setValue(eFieldClose, price);
    r.setValue(eFieldHigh, *std::max_element(path, seen));
    r.setValue(eFieldLow, *std::min_element(path, seen));
    r.setValue(eFieldVolume, std::round(bar.numberValue(eFieldVolume, 0) * share));
    if (bar.hasValue(eFieldAmount))
        r.setValue(eFieldAmount, bar.numberValue(eFieldAmount, 0) * share);
    if (bar.hasValue(eFieldPreClose))
        r.setValue(eFieldChange, price - bar.numberValue(eFieldPreClose, 0));
    return r;
}

ReplayFeed::Update ReplayFeed::step()
{
    if (atEnd())
        return {};
    const DQDUnionReader& bar = *m_pending.at(m_next);
    Update u;
    u.tick = ++m_tick;
    u.key = bar.uniqueKey();
    u.appended = m_tick == 1 && !m_keepSlots;
    if (u.appended)
        m_list->append(tickOf(bar, m_tick));
    u.index = m_keepSlots ? m_start + m_next : m_list->count() - 1;
    if (!u.appended)
        *m_list->at(u.index) = tickOf(bar, m_tick);
    if (m_tick == kTicksPerBar) {
        m_tick = 0;
        ++m_next;
    }
    return u;
}
