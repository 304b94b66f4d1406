// Logic: conditions, signal filters and crossings. "True" is a value other
// than 0. Results are 1 or 0, with no value where a tested line has none
// (ISVALID excepted, which tells exactly that).

#include "FormulaFamilyTools.h"

#include "FormulaNode.h"

#include "../TagDay.h"

using namespace FormulaFamily;
namespace D = FormulaDecimal;

namespace {

void choose(FormulaCall& c, double* o, bool inverted)
{
    const double* cond = c.series(0);
    const double* a = c.series(inverted ? 2 : 1);
    const double* b = c.series(inverted ? 1 : 2);
    for (int i = 0; i < c.count(); ++i)
        o[i] = std::isnan(cond[i]) ? kNaN : (cond[i] != 0.0 ? a[i] : b[i]);
}

void fnIFF(FormulaCall& c, double* o) { choose(c, o, false); }
void fnIFN(FormulaCall& c, double* o) { choose(c, o, true); }

void fnNULL(FormulaCall& c, double* o) { none(c.count(), o); }

void fnISVALID(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    for (int i = 0; i < c.count(); ++i)
        o[i] = std::isnan(x[i]) ? 0.0 : 1.0;
}

// Opens, closes and their relation on this bar.
template <int sign>
void barDirection(FormulaCall& c, double* o)
{
    const double* open = c.column(FormulaNode::Open);
    const double* close = c.column(FormulaNode::Close);
    for (int i = 0; i < c.count(); ++i) {
        if (std::isnan(open[i]) || std::isnan(close[i])) {
            o[i] = kNaN;
            continue;
        }
        const int d = D::less(open[i], close[i]) ? 1 : (D::less(close[i], open[i]) ? -1 : 0);
        o[i] = d == sign ? 1.0 : 0.0;
    }
}

// How many of the N bars up to this one hold a true X, or −1 while the
// window is not full of values.
// N may be a line: each bar then takes its own window.
template <class F>
void windowCount(FormulaCall& c, double* o, F verdict)
{
    const int n = c.count();
    const double* x = c.series(0);
    std::vector<double> hits(static_cast<size_t>(n));
    std::vector<double> sizes(static_cast<size_t>(n));
    if (c.isScalar(1)) {
        const int p = periodArg(c, 1, true);
        if (p < 0)
            return none(n, o);
        FormulaSeries::count(x, n, p, hits.data());
        for (int i = 0; i < n; ++i)
            sizes[size_t(i)] = p;
    } else {
        const double* p = c.series(1);
        FormulaSeries::windowByBar(FormulaSeries::Window::Count, x, p, n, hits.data());
        for (int i = 0; i < n; ++i)
            sizes[size_t(i)] = std::trunc(p[i]);
    }
    for (int i = 0; i < n; ++i) {
        const double size = sizes[size_t(i)] == 0.0 ? i + 1.0 : sizes[size_t(i)];
        o[i] = std::isnan(hits[size_t(i)]) ? kNaN : verdict(hits[size_t(i)], size);
    }
}

void fnEVERY(FormulaCall& c, double* o)
{
    windowCount(c, o, [](double hits, double size) { return hits == size ? 1.0 : 0.0; });
}

void fnEXIST(FormulaCall& c, double* o)
{
    windowCount(c, o, [](double hits, double) { return hits > 0 ? 1.0 : 0.0; });
}

// X over the bars from A bars ago to B bars ago (A = 0: from the first
// bar; either order): all true (LAST) or one true (EXISTR).
template <bool all>
void spanTest(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int a = periodArg(c, 1, true);
    const int b = periodArg(c, 2, true);
    if (a < 0 || b < 0)
        return none(n, o);
    const double* x = c.series(0);
    std::vector<int> trues(size_t(n) + 1, 0), gaps(size_t(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        trues[size_t(i) + 1] = trues[size_t(i)] + (isTrue(x[i]) ? 1 : 0);
        gaps[size_t(i) + 1] = gaps[size_t(i)] + (std::isnan(x[i]) ? 1 : 0);
    }
    for (int i = 0; i < n; ++i) {
        const int from = a == 0 ? 0 : i - std::max(a, b);
        const int to = i - (a == 0 ? b : std::min(a, b));
        if (from < 0 || to < from || gaps[size_t(to) + 1] != gaps[size_t(from)]) {
            o[i] = kNaN;
            continue;
        }
        const int hits = trues[size_t(to) + 1] - trues[size_t(from)];
        o[i] = (all ? hits == to - from + 1 : hits > 0) ? 1.0 : 0.0;
    }
}

// A crosses above B now, having been strictly below it for the N bars before.
void fnLONGCROSS(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 2);
    if (p < 1)
        return none(n, o);
    const double* a = c.series(0);
    const double* b = c.series(1);
    int below = 0; // bars in a row up to the previous one with A < B
    for (int i = 0; i < n; ++i) {
        const bool gap = std::isnan(a[i]) || std::isnan(b[i]);
        o[i] = (gap || i < p) ? kNaN : ((below >= p && D::less(b[i], a[i])) ? 1.0 : 0.0);
        below = (!gap && D::less(a[i], b[i])) ? below + 1 : 0;
    }
}

template <bool up>
void crossing(FormulaCall& c, double* o)
{
    const double* a = c.series(up ? 0 : 1);
    const double* b = c.series(up ? 1 : 0);
    FormulaSeries::cross(a, b, c.count(), o);
}

// True for the N bars up to this one: X > Y (NDAY), X rising (UPNDAY) or
// falling (DOWNNDAY) bar after bar.
template <class F>
void runOf(FormulaCall& c, double* o, size_t periodIndex, F holds)
{
    const int n = c.count();
    const int p = periodArg(c, periodIndex);
    if (p < 1)
        return none(n, o);
    int run = 0;
    for (int i = 0; i < n; ++i) {
        const double v = holds(i);
        run = v > 0.0 ? run + 1 : 0;
        o[i] = (std::isnan(v) || i < p - 1) ? kNaN : (run >= p ? 1.0 : 0.0);
    }
}

void fnNDAY(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    runOf(c, o, 2, [x, y](int i) {
        return (std::isnan(x[i]) || std::isnan(y[i])) ? kNaN : (D::less(y[i], x[i]) ? 1.0 : 0.0);
    });
}

template <bool rising>
void steps(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const int n = c.count();
    const int p = periodArg(c, 1);
    runOf(c, o, 1, [x](int i) {
        if (i == 0 || std::isnan(x[i]) || std::isnan(x[i - 1]))
            return kNaN;
        return (rising ? D::less(x[i - 1], x[i]) : D::less(x[i], x[i - 1])) ? 1.0 : 0.0;
    });
    for (int i = 0; i < std::min(p, n); ++i)
        o[i] = kNaN; // N steps need N + 1 bars
}

// Keeps a true X and clears it on the N bars after (FILTER, going forward)
// or before (FILTERX, going back from the last bar).
template <bool forward>
void filterSignals(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1, true);
    if (p < 0)
        return none(n, o);
    const double* x = c.series(0);
    int blockedUntil = forward ? -1 : n;
    for (int k = 0; k < n; ++k) {
        const int i = forward ? k : n - 1 - k;
        if (std::isnan(x[i])) {
            o[i] = kNaN;
            continue;
        }
        const bool blocked = forward ? i <= blockedUntil : i >= blockedUntil;
        o[i] = (!blocked && x[i] != 0.0) ? 1.0 : 0.0;
        if (o[i] != 0.0)
            blockedUntil = forward ? i + p : i - p;
    }
}

// Buy D and sell K with repeats removed: after a kept buy only a sell is
// kept, and the other way round. Mode 1 shows the kept buys (1), mode 2 the
// kept sells (1), mode 0 both (1 a buy, 2 a sell).
void fnTFILTER(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double mode = c.number(2);
    if (mode != 0.0 && mode != 1.0 && mode != 2.0)
        return none(n, o);
    const double* buy = c.series(0);
    const double* sell = c.series(1);
    bool holding = false;
    for (int i = 0; i < n; ++i) {
        if (std::isnan(buy[i]) || std::isnan(sell[i])) {
            o[i] = kNaN;
            continue;
        }
        o[i] = 0.0;
        if (!holding && buy[i] != 0.0) {
            holding = true;
            o[i] = mode == 2.0 ? 0.0 : 1.0;
        } else if (holding && sell[i] != 0.0) {
            holding = false;
            o[i] = mode == 1.0 ? 0.0 : (mode == 2.0 ? 1.0 : 2.0);
        }
    }
}

// Where X is true, this bar and the N − 1 before it become 1.
void fnBACKSET(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double* len = c.series(1);
    // Going back from the last bar, reach is the earliest bar that a true
    // bar seen so far sets; every bar from there to it is set.
    int reach = n;
    for (int i = n - 1; i >= 0; --i) {
        if (isTrue(x[i]) && len[i] >= 1.0)
            reach = std::min(reach, i - int(std::min(len[i], double(n))) + 1);
        o[i] = i >= reach ? 1.0 : (std::isnan(x[i]) ? kNaN : 0.0);
    }
}

constexpr unsigned kOC = eTagDayOpen | eTagDayClose;

const FormulaLibraryEntry kLogic[] = {
    {"IFF", 3, 3, -1, fnIFF},                {"IFN", 3, 3, -1, fnIFN},
    {"IFC", 3, 3, -1, fnIFF},                {"IFELSE", 3, 3, -1, fnIFF},
    {"EVERY", 2, 2, -1, fnEVERY},            {"ALL", 2, 2, -1, fnEVERY},
    {"EXIST", 2, 2, -1, fnEXIST},            {"ANY", 2, 2, -1, fnEXIST},
    {"EXISTR", 3, 3, 1, spanTest<false>},    {"LAST", 3, 3, 1, spanTest<true>},
    {"LONGCROSS", 3, 3, 2, fnLONGCROSS},     {"CROSSUP", 2, 2, -1, crossing<true>},
    {"CROSSDOWN", 2, 2, -1, crossing<false>},
    {"NDAY", 3, 3, 2, fnNDAY},               {"UPNDAY", 2, 2, 1, steps<true>},
    {"DOWNNDAY", 2, 2, 1, steps<false>},     {"FILTER", 2, 2, 1, filterSignals<true>},
    {"FILTERX", 2, 2, 1, filterSignals<false>}, {"TFILTER", 3, 3, 2, fnTFILTER},
    {"BACKSET", 2, 2, -1, fnBACKSET},        {"ISUP", 0, 0, -1, barDirection<1>, kOC},
    {"ISDOWN", 0, 0, -1, barDirection<-1>, kOC},
    {"ISEQUAL", 0, 0, -1, barDirection<0>, kOC},
    {"ISVALID", 1, 1, -1, fnISVALID},        {"NULL", 0, 0, -1, fnNULL},
    {"DRAWNULL", 0, 0, -1, fnNULL},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::logicFamily()
{
    return {kLogic, std::size(kLogic)};
}
