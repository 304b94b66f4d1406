#include "ValueRange.h"

#include <ZtLineLibBase.h>

#include <algorithm>
#include <cmath>

ValueRange::ValueRange(double hi, double lo)
    : m_hi(hi)
    , m_lo(lo)
{
}

ValueRange ValueRange::of(const ZtLineLibBase& element)
{
    return ValueRange(element.maxReference(), element.minReference());
}

bool ValueRange::isValid() const
{
    return m_hi >= m_lo && !ztIsNoValue(m_hi) && !ztIsNoValue(m_lo);
}

ValueRange ValueRange::united(const ValueRange& other) const
{
    if (!other.isValid())
        return *this;
    if (!isValid())
        return other;
    return ValueRange(std::max(m_hi, other.m_hi), std::min(m_lo, other.m_lo));
}

ValueRange ValueRange::forColourSticks() const
{
    if (!isValid() || m_lo >= 0 || m_hi <= 0)
        return *this;
    const double reach = std::max(std::abs(m_hi), std::abs(m_lo));
    return ValueRange(reach, -reach);
}

ValueRange ValueRange::aroundPreviousClose(double pc, int prec) const
{
    if (!isValid() || !(pc > 0))
        return *this;
    const double reach = std::max({m_hi - pc, pc - m_lo, pc * 0.001});
    const double ticks = std::pow(10.0, std::clamp(prec, 0, 8));
    // Whole ticks each way (a hair of tolerance keeps an exact tick from
    // growing by one). Dividing whole numbers of ticks gives the doubles
    // nearest to the decimal prices, whose texts the axis cuts exactly.
    const double pcTicks = pc * ticks;
    if (std::abs(pcTicks - std::round(pcTicks)) < 1e-6) {
        const double reachTicks = std::ceil(reach * ticks - 1e-6);
        return ValueRange((std::round(pcTicks) + reachTicks) / ticks, (std::round(pcTicks) - reachTicks) / ticks);
    }
    // A close off the tick cannot lie in the middle of two ticks; the ends
    // still move out to the next tick.
    return ValueRange(std::ceil((pc + reach) * ticks - 1e-6) / ticks, std::floor((pc - reach) * ticks + 1e-6) / ticks);
}

void ValueRange::applyTo(ZtLineLibBase& element) const
{
    if (isValid())
        element.SetMaxMinValue(m_hi, m_lo);
    else
        element.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
}
