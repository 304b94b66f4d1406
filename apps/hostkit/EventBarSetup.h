#pragma once

#include <memory>

class ChartData;
class ZtLineLib_InfoBar;

// How both programs show the events of their data (dividends, notices) over
// the price chart: one event bar, handed the events of each kind for the
// window shown.
class EventBarSetup
{
public:
    // The bar for data's events; null when the data has none.
    static std::unique_ptr<ZtLineLib_InfoBar> create(ChartData* data);
    // Gives the bar the window first … first + count − 1 and every kind of
    // event that has entries.
    static void setWindow(ZtLineLib_InfoBar* bar, const ChartData& data, int first, int count);
};
