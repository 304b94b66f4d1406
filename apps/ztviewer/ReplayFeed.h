#pragma once

#include <DQDDataList.h>

#include <QtGlobal>

// Plays the records of a quote list into that list as if they arrived live.
// The list is cut back to its first records (an intraday list keeps its
// minute slots, emptied: a live intraday chart spans the whole day from the
// open); each later record then comes as kTicksPerBar ticks: the first
// appends it (or fills its slot) with its open as the only
// price, the next ones move it to the bar's first and second extreme (low
// then high on a rising bar, high then low on a falling one) with a share
// of its volume, and the last gives the record exactly as the file has it.
// The feed only edits the list; the host announces each step to its chart
// elements (recordsAppended or recordsChanged) and recomputes them.
class ReplayFeed
{
public:
    static constexpr int kTicksPerBar = 4;
    // Bars per second when the command line does not say.
    static constexpr double kDefaultSpeed = 2.0;

    struct Update
    {
        int index = -1;        // the record the tick changed
        bool appended = false; // the first tick of a bar: a new record (not
                               // with kept slots: the slot is changed)
        int tick = 0;          // 1 … kTicksPerBar
        qint64 key = 0;        // the record's time value
    };

    // Keeps the records of *list from `start` on to play and cuts the list
    // back to the records before them (at least one stays); with keepSlots
    // their places stay as empty slots (key 0).
    ReplayFeed(ZtUIDataStruct::DQDDataList* list, int start, bool keepSlots = false);
    // Where a replay starts by default: half the records are history.
    static int defaultStart(int count) { return count / 2; }

    bool atEnd() const { return m_next >= m_pending.count(); }
    int remainingBars() const { return m_pending.count() - m_next; }
    // Plays the next tick; an invalid update (index −1) at the end.
    Update step();

    // The record of tick `tick` (1 … kTicksPerBar) of bar.
    static ZtUIDataStruct::DQDUnionReader tickOf(const ZtUIDataStruct::DQDUnionReader& bar,
                                                 int tick);

private:
    ZtUIDataStruct::DQDDataList* m_list;
    ZtUIDataStruct::DQDDataList m_pending;
    int m_start = 0;
    bool m_keepSlots = false;
    int m_next = 0;
    int m_tick = 0;
};
