#include "EventBarSetup.h"

#include "ChartData.h"

#include <ZtLineLib_InfoBar.h>

std::unique_ptr<ZtLineLib_InfoBar> EventBarSetup::create(ChartData* data)
{
    if (data->events().isEmpty())
        return nullptr;
    auto bar = std::make_unique<ZtLineLib_InfoBar>();
    bar->setData(data->charted());
    bar->setIsDLine(data->isDLine());
    // Level icons on a K-line chart are centred on the top padding's edge
    // with this height.
    bar->setCrossPaddingTop(9);
    return bar;
}

void EventBarSetup::setWindow(ZtLineLib_InfoBar* bar, const ChartData& data, int first, int count)
{
    bar->setRange(first, count);
    for (auto it = data.events().constBegin(); it != data.events().constEnd(); ++it)
        if (it.value().count() > 0)
            bar->addLineInfo(ZtLineLib_InfoBar::ShowLineInfoType(it.key()), it.value());
}
