#pragma once

#include "TagDay.h"

#include <cstdint>

// The identity of one bar conversion (a run, see TagDay.h). Every
// conversion takes a serial no other conversion of the process gets, and
// its first record carries it in m_reserved, so the engine can tell the
// runs of an input it has evaluated before from new ones.
struct FORMULA_EXPORT TagDayRun
{
    // A serial never handed out before in this process (never 0).
    static std::uint64_t newSerial();
    // Marks first as the start of the run of that serial.
    static void stamp(TagDay& first, std::uint64_t serial);
    // The serial a run's first record carries, or 0 when it has none (a
    // vector built by hand): such a run is never taken for one seen before.
    static std::uint64_t serialOf(const TagDay& first);
};
