// Live updates against panes built afresh, steps chosen by the input
// (tests/LiveUpdateDriver.h); a difference aborts.

#include "FuzzSupport.h"

#include "../LiveUpdateDriver.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureGuiApplication();
    FuzzedDataProvider in(data, size);
    liveupdate::Driver driver([&](int lo, int hi) { return in.ConsumeIntegralInRange<int>(lo, hi); });
    const QString difference = driver.run(in.ConsumeIntegralInRange<int>(1, 40));
    if (!difference.isEmpty()) {
        std::fprintf(stderr, "live update differs: %s\n", qPrintable(difference));
        std::abort();
    }
    return 0;
}
