#pragma once

#include "ZtLineLibGlobal.h"

namespace zt {

// Simple moving average over the n values ending at index i, computed only
// from index s on. read(k) gives the value at k. A no-value marker ends the
// walk back, so a gap gives the mean of the values after it; fewer than n
// computed records up to i, or n < 1, give the marker. The values are summed
// newest first.
template <typename Read>
double movingAverage(Read read, int i, int s, int n)
{
    if (qint64(i) + 1 < qint64(s) + n || n < 1)
        return kZtNoValue;
    double sum = 0;
    int added = 0;
    for (int k = 0; k < n && i - k >= s; ++k) {
        const double v = read(i - k);
        if (v == kZtNoValue)
            break;
        sum += v;
        ++added;
    }
    return added ? sum / added : kZtNoValue;
}

} // namespace zt
