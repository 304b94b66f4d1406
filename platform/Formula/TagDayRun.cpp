#include "TagDayRun.h"

#include <atomic>

namespace {

// A float holds integers below 2^24 exactly: the serial travels as two such
// halves, which survive any copy of the vector.
constexpr std::uint64_t kHalf = std::uint64_t(1) << 24;

} // namespace

std::uint64_t TagDayRun::newSerial()
{
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed) % (kHalf * kHalf);
}

void TagDayRun::stamp(TagDay& first, std::uint64_t serial)
{
    first.m_reserved.assign({float(serial / kHalf), float(serial % kHalf)});
}

std::uint64_t TagDayRun::serialOf(const TagDay& first)
{
    const std::vector<float>& r = first.m_reserved;
    if (r.size() != 2 || !(r[0] >= 0.0f && r[0] < float(kHalf)) || !(r[1] >= 0.0f && r[1] < float(kHalf)))
        return 0;
    return std::uint64_t(r[0]) * kHalf + std::uint64_t(r[1]);
}
