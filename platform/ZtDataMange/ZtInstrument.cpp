#include "ZtInstrument.h"

qint64 ZtInstrument::normalizedTime(qint64 time)
{
    // Eight digits or fewer can only be a date.
    return (time > 0 && time < 100000000) ? time * 1000000 : time;
}

double ZtInstrument::floatSharesAt(qint64 time) const
{
    auto it = floatShares.upperBound(normalizedTime(time));
    if (it == floatShares.constBegin())
        return 0.0;
    return (--it).value();
}

double ZtInstrument::firstFloatShares() const
{
    return floatShares.isEmpty() ? 0.0 : floatShares.first();
}
