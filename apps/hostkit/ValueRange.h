#pragma once

#include <ZtLineLibGlobal.h>

class ZtLineLibBase;

// The value range a host hands to the elements of one pane (the pane, its
// overlays and its value axis), and the rules that shape it before that:
// colour sticks around the zero line, intraday prices around the previous
// close. An invalid range stands for "no values in the window".
class ValueRange
{
public:
    ValueRange() = default;
    ValueRange(double hi, double lo);
    // The range an element computed (maxReference, minReference).
    static ValueRange of(const ZtLineLibBase& element);

    bool isValid() const;
    double hi() const { return m_hi; }
    double lo() const { return m_lo; }

    // The smallest range holding both; an invalid side is ignored.
    ValueRange united(const ValueRange& other) const;
    // Colour sticks grow from the middle of their pane. Values of both signs
    // are centred on zero so that the middle is the zero line; values of
    // one sign keep their own range, or they would lie flat along one edge.
    ValueRange forColourSticks() const;
    // Intraday prices lie symmetric about the previous close pc, at least
    // 0.1 % of it each way, with both ends on the price tick of prec
    // decimals: the percent tags at top and bottom then read the same.
    ValueRange aroundPreviousClose(double pc, int prec) const;

    // Starts element from this range (the empty-range sentinels when invalid).
    void applyTo(ZtLineLibBase& element) const;

private:
    double m_hi = kZtNoValue;
    double m_lo = kZtNoValueMax;
};
