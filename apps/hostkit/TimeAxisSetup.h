#pragma once

class ChartData;
class ZtLineLib_Scaleplate;

// How both programs label the time axis of their data: months and years
// under daily bars; the session times of one intraday day, or the date at
// the start of each day of several.
class TimeAxisSetup
{
public:
    static void configure(ZtLineLib_Scaleplate* axis, ChartData* data);
};
