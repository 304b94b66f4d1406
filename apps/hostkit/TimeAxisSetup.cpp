#include "TimeAxisSetup.h"

#include "ChartData.h"

#include <DQDUnionReader.h>
#include <ZtLineLib_Scaleplate.h>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

constexpr int kSlotsPerDay = 241;
constexpr int kAuctionSlots = 15;

} // namespace

void TimeAxisSetup::configure(ZtLineLib_Scaleplate* axis, ChartData* data)
{
    axis->setData(data->charted());
    axis->setIsDLine(data->isDLine());
    if (!data->isDLine()) {
        axis->setDateFormat(QStringLiteral("MM"));
        axis->setMastDateFormat(QStringLiteral("yyyy"));
        return;
    }
    const int days = std::max(data->days(), 1);
    axis->setTagDateFormat(days > 1 ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm"));
    if (days > 1) {
        axis->setFixedAlignment(1);
        for (int d = 0; d < days; ++d) {
            const DQDUnionReader* r = data->charted()->at(d * kSlotsPerDay);
            const QString day = r ? QString::number(r->uniqueKey() / 1000000 % 10000).rightJustified(4, QLatin1Char('0'))
                                  : QString();
            *axis << (day.left(2) + QLatin1Char('-') + day.mid(2)) << d * kSlotsPerDay;
        }
        return;
    }
    const int lead = data->auction() ? kAuctionSlots : 0;
    if (lead)
        *axis << QStringLiteral("09:15") << 0;
    const char* times[] = {"09:30", "10:30", "11:30/13:00", "14:00", "15:00"};
    for (int i = 0; i < 5; ++i)
        *axis << QString::fromLatin1(times[i]) << lead + i * 60;
}
