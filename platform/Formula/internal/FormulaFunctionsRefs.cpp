// Counting bars, references and ranking. "True" is a value other than 0; a
// bar on which the tested line has no value gives no value. Functions that
// look ahead (BARSNEXT, REFX, REFXV, REFX1) are marked so in the reference.

#include "FormulaFamilyTools.h"

#include <numeric>

using namespace FormulaFamily;
namespace D = FormulaDecimal;

namespace {

void fnBARPOS(FormulaCall& c, double* o)
{
    for (int i = c.from(); i < c.count(); ++i)
        o[i] = i + 1;
}

void fnCURRBARSCOUNT(FormulaCall& c, double* o)
{
    for (int i = 0; i < c.count(); ++i)
        o[i] = c.count() - i;
}

void fnTOTALBARSCOUNT(FormulaCall& c, double* o) { FormulaSeries::fill(o, c.count(), c.count()); }

void fnISLASTBAR(FormulaCall& c, double* o)
{
    for (int i = 0; i < c.count(); ++i)
        o[i] = i == c.count() - 1 ? 1.0 : 0.0;
}

// The latest bar before from with a value, or −1: where a count resumes.
int lastValued(FormulaCall& c, const double* o)
{
    int j = c.from() - 1;
    while (j >= 0 && std::isnan(o[j]))
        --j;
    return j;
}

// Bars with a value so far, this one included.
void fnBARSCOUNT(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const int last = lastValued(c, o);
    int seen = last >= 0 ? int(o[last]) : 0;
    for (int i = c.from(); i < c.count(); ++i)
        o[i] = std::isnan(x[i]) ? kNaN : double(++seen);
}

// Bars since X was first true; no value before.
void fnBARSSINCE(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const int last = lastValued(c, o);
    int first = last >= 0 ? last - int(o[last]) : -1;
    for (int i = c.from(); i < c.count(); ++i) {
        if (first < 0 && isTrue(x[i]))
            first = i;
        o[i] = (first < 0 || std::isnan(x[i])) ? kNaN : double(i - first);
    }
}

// Bars since the first true bar of the last N; no value when none is true.
void fnBARSSINCEN(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const double* x = c.series(0);
    std::vector<int> nextTrue(size_t(n) + 1, n);
    for (int i = n - 1; i >= 0; --i)
        nextTrue[size_t(i)] = isTrue(x[i]) ? i : nextTrue[size_t(i) + 1];
    for (int i = 0; i < n; ++i) {
        const int from = i - p + 1;
        const int hit = from >= 0 ? nextTrue[size_t(from)] : n;
        o[i] = (hit <= i && !std::isnan(x[i])) ? double(i - hit) : kNaN;
    }
}

// Consecutive true bars up to this one (0 when this one is false).
void fnBARSLASTCOUNT(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const int from = c.from();
    int run = from > 0 && !std::isnan(o[from - 1]) ? int(o[from - 1]) : 0;
    for (int i = from; i < c.count(); ++i) {
        run = isTrue(x[i]) ? run + 1 : 0;
        o[i] = std::isnan(x[i]) ? kNaN : double(run);
    }
}

// Bars since the N-th last true bar (N = 1 is BARSLAST).
void fnBARSLASTS(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const double* x = c.series(0);
    std::vector<int> hits;
    for (int i = 0; i < n; ++i) {
        if (isTrue(x[i]))
            hits.push_back(i);
        o[i] = int(hits.size()) >= p ? double(i - hits[hits.size() - size_t(p)]) : kNaN;
    }
}

// Bars until X is next true, 0 on a true bar (looks ahead).
void fnBARSNEXT(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    int next = -1;
    for (int i = c.count() - 1; i >= 0; --i) {
        if (isTrue(x[i]))
            next = i;
        o[i] = (next < 0 || std::isnan(x[i])) ? kNaN : double(next - i);
    }
}

// Bars since the extreme of each bar's own window (N a line): a sparse
// table of the extreme's position over 2^k bars answers each in constant
// time.
template <bool highest>
void extremeBarsByBar(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double* period = c.series(1);
    const GapWindow gaps(x, n);
    // Of two positions the better value, the later one on a tie.
    const auto better = [x](int a, int b) {
        return (highest ? x[a] > x[b] : x[a] < x[b]) ? a : std::max(a, b);
    };
    std::vector<std::vector<int>> levels(1, std::vector<int>(static_cast<size_t>(n)));
    std::iota(levels[0].begin(), levels[0].end(), 0);
    for (int span = 2; span <= n; span *= 2) {
        const std::vector<int>& below = levels.back();
        std::vector<int> level(static_cast<size_t>(n - span + 1));
        for (size_t i = 0; i < level.size(); ++i)
            level[i] = better(below[i], below[i + size_t(span / 2)]);
        levels.push_back(std::move(level));
    }
    for (int i = 0; i < n; ++i) {
        const double v = period[i];
        int p = (std::isnan(v) || v < 0.0 || v > i + 1.0) ? -1 : int(v);
        p = p == 0 ? i + 1 : p;
        if (p < 1 || !gaps.full(i, p)) {
            o[i] = kNaN;
            continue;
        }
        int k = 0;
        while ((2 << k) <= p)
            ++k;
        const std::vector<int>& level = levels[size_t(k)];
        o[i] = i - better(level[size_t(i - p + 1)], level[size_t(i - (1 << k) + 1)]);
    }
}

// Bars since the highest (lowest) of the last N (0: of all bars so far; N
// may be a line); among equal extremes the most recent counts. A constant N
// resumes: the window of the first bar to compute is read again, or for
// N = 0 the extreme so far is where the bar before put it.
template <bool highest>
void extremeBars(FormulaCall& c, double* o)
{
    if (!c.isScalar(1))
        return extremeBarsByBar<highest>(c, o);
    const int n = c.count();
    const int p = periodArg(c, 1, true);
    if (p < 0)
        return none(n, o);
    const double* x = c.series(0);
    const int from = c.from();
    std::vector<int> queue;
    size_t head = 0;
    int start = p > 0 ? std::max(0, from - p + 1) : from;
    if (p == 0 && from > 0) {
        // Without a value the bar before had a gap, which every later window holds.
        if (std::isnan(o[from - 1]))
            return FormulaSeries::fill(o + from, n - from, kNaN);
        queue.push_back(from - 1 - int(o[from - 1]));
    }
    const auto atLeast = [](double a, double b) { return highest ? a >= b : a <= b; };
    int lastGap = -1;
    for (int i = start; i < n; ++i) {
        if (std::isnan(x[i])) {
            lastGap = i;
        } else {
            while (queue.size() > head && atLeast(x[i], x[queue.back()]))
                queue.pop_back();
            queue.push_back(i);
        }
        while (p > 0 && queue.size() > head && queue[head] <= i - p)
            ++head;
        if (i < from)
            continue;
        const int first = p == 0 ? 0 : i - p + 1;
        const bool full = first >= 0 && lastGap < first;
        o[i] = (full && queue.size() > head) ? double(i - queue[head]) : kNaN;
    }
}

// Bars, counting this one, whose X add up to A: the fewest back from here
// whose total reaches A; no value when all bars so far do not reach it.
void fnSUMBARS(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double* a = c.series(1);
    // prefix[j] = Σ x[0 … j−1]; the sum of x[j … i] is prefix[i+1] − prefix[j].
    // The candidates j keep prefix increasing: an earlier j with a prefix as
    // large is never the latest start that reaches A.
    std::vector<double> prefix(size_t(n) + 1, 0.0);
    std::vector<int> starts;
    for (int i = 0; i < n; ++i) {
        prefix[size_t(i) + 1] = prefix[size_t(i)] + (std::isnan(x[i]) ? 0.0 : x[i]);
        while (!starts.empty() && prefix[size_t(starts.back())] >= prefix[size_t(i)])
            starts.pop_back();
        starts.push_back(i);
        if (std::isnan(x[i]) || std::isnan(a[i])) {
            o[i] = kNaN;
            continue;
        }
        const double total = prefix[size_t(i) + 1];
        const double limit = total - a[i] + D::kTolerance * D::scale(total, a[i]);
        const auto past = std::upper_bound(
            starts.begin(), starts.end(), limit,
            [&prefix](double v, int j) { return v < prefix[size_t(j)]; });
        o[i] = past == starts.begin() ? kNaN : double(i - *(past - 1) + 1);
    }
}

// X on the last bar on which COND was true.
void fnVALUEWHEN(FormulaCall& c, double* o)
{
    const double* cond = c.series(0);
    const double* x = c.series(1);
    double held = kNaN;
    for (int i = 0; i < c.count(); ++i) {
        if (isTrue(cond[i]))
            held = x[i];
        o[i] = held;
    }
}

void fnREFV(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    if (c.isScalar(1))
        FormulaSeries::ref(x, n, FormulaSeries::period(c.number(1), n, true), o);
    else
        FormulaSeries::refSeries(x, c.series(1), n, o);
}

// X N bars ahead; past the last bar REFX repeats the last value and REFXV
// gives none.
template <bool repeatLast>
void refAhead(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double* shift = c.series(1);
    for (int i = 0; i < n; ++i) {
        const double s = std::trunc(shift[i]);
        if (!(s >= 0.0))
            o[i] = kNaN;
        else if (s <= double(n - 1 - i))
            o[i] = x[i + int(s)];
        else
            o[i] = repeatLast ? x[n - 1] : kNaN;
    }
}

// X on the last bar of that day (1YYMMDD), on every bar.
void fnREFDATE(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double d = c.number(1);
    double found = kNaN;
    if (d > 0.0 && d < 2e7) {
        const int target = int(d) + 19000000;
        for (int i = n - 1; i >= 0; --i) {
            if (c.date(i) == target) {
                found = x[i];
                break;
            }
        }
    }
    FormulaSeries::fill(o, n, found);
}

// The T-th highest (lowest) of the M bars ending N bars ago, equal values
// counted one by one; the ...BARS variants give how many bars back it lies,
// the most recent of equal values counting.
template <bool highest, bool bars>
void findExtreme(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int ago = periodArg(c, 1, true);
    const int m = periodArg(c, 2);
    const int t = periodArg(c, 3);
    if (ago < 0 || m < 1 || t < 1 || t > m)
        return none(n, o);
    const double* x = c.series(0);
    const GapWindow gaps(x, n);
    std::vector<std::pair<double, int>> window;
    for (int i = 0; i < n; ++i) {
        const int last = i - ago;
        if (last < 0 || !gaps.full(last, m)) {
            o[i] = kNaN;
            continue;
        }
        window.clear();
        for (int k = last - m + 1; k <= last; ++k)
            window.emplace_back(highest ? x[k] : -x[k], k);
        std::nth_element(window.begin(), window.begin() + (t - 1), window.end(),
                         std::greater<std::pair<double, int>>());
        const auto& hit = window[size_t(t - 1)];
        o[i] = bars ? double(i - hit.second) : x[hit.second];
    }
}

// Rank of X among the last N bars (0: all so far): 1 + the number of bars
// strictly higher (lower); equal values do not raise the rank.
template <bool highest>
void rank(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1, true);
    if (p < 0)
        return none(n, o);
    const double* x = c.series(0);
    std::vector<double> sorted;
    for (int i = 0; i < n; ++i) {
        if (!std::isnan(x[i]))
            sorted.push_back(x[i]);
    }
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    const auto slot = [&sorted](double v) {
        return int(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin()) + 1;
    };
    // Fenwick tree of how many window bars hold each distinct value.
    std::vector<int> tree(sorted.size() + 1, 0);
    const auto add = [&tree](int k, int d) {
        for (; k < int(tree.size()); k += k & -k)
            tree[size_t(k)] += d;
    };
    const auto atMost = [&tree](int k) {
        int s = 0;
        for (; k > 0; k -= k & -k)
            s += tree[size_t(k)];
        return s;
    };
    const GapWindow gaps(x, n);
    int inside = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isnan(x[i])) {
            add(slot(x[i]), 1);
            ++inside;
        }
        if (p > 0 && i >= p && !std::isnan(x[i - p])) {
            add(slot(x[i - p]), -1);
            --inside;
        }
        if (!gaps.full(i, p)) {
            o[i] = kNaN;
            continue;
        }
        const int k = slot(x[i]);
        o[i] = 1.0 + (highest ? inside - atMost(k) : atMost(k - 1));
    }
}

// The extreme of the N bars before this one.
template <bool highest>
void previousExtreme(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1, true);
    if (p < 0)
        return none(n, o);
    std::vector<double> window(static_cast<size_t>(n));
    FormulaSeries::extreme(c.series(0), n, p, highest, window.data());
    FormulaSeries::ref(window.data(), n, 1, o);
}

// Previous bars before the first strictly higher (lower) one: 0 when the
// bar before already is, all previous bars when none is.
template <bool higher>
void rangeCount(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    std::vector<int> stack;
    for (int i = 0; i < c.count(); ++i) {
        if (std::isnan(x[i])) {
            o[i] = kNaN;
            continue;
        }
        while (!stack.empty() && (higher ? x[stack.back()] <= x[i] : x[stack.back()] >= x[i]))
            stack.pop_back();
        o[i] = stack.empty() ? double(i) : double(i - stack.back() - 1);
        stack.push_back(i);
    }
}

const FormulaLibraryEntry kReference[] = {
    {"BARSCOUNT", 1, 1, -1, fnBARSCOUNT, 0, true},
    {"BARSSINCE", 1, 1, -1, fnBARSSINCE, 0, true},
    {"BARSSINCEN", 2, 2, 1, fnBARSSINCEN},      {"BARSLASTCOUNT", 1, 1, -1, fnBARSLASTCOUNT, 0, true},
    {"BARSLASTS", 2, 2, 1, fnBARSLASTS},        {"BARSNEXT", 1, 1, -1, fnBARSNEXT},
    {"BARPOS", 0, 0, -1, fnBARPOS, 0, true},             {"CURRBARSCOUNT", 0, 0, -1, fnCURRBARSCOUNT},
    {"TOTALBARSCOUNT", 0, 0, -1, fnTOTALBARSCOUNT}, {"ISLASTBAR", 0, 0, -1, fnISLASTBAR},
    {"HHVBARS", 2, 2, -1, extremeBars<true>, 0, true},
    {"LLVBARS", 2, 2, -1, extremeBars<false>, 0, true},
    {"SUMBARS", 2, 2, -1, fnSUMBARS},           {"VALUEWHEN", 2, 2, -1, fnVALUEWHEN},
    {"REFV", 2, 2, -1, fnREFV},                 {"REFX", 2, 2, -1, refAhead<true>},
    {"REFXV", 2, 2, -1, refAhead<false>},       {"REFX1", 2, 2, -1, refAhead<true>},
    {"REFDATE", 2, 2, 1, fnREFDATE},
    {"FINDHIGH", 4, 4, 1, findExtreme<true, false>},
    {"FINDHIGHBARS", 4, 4, 1, findExtreme<true, true>},
    {"FINDLOW", 4, 4, 1, findExtreme<false, false>},
    {"FINDLOWBARS", 4, 4, 1, findExtreme<false, true>},
    {"HOD", 2, 2, 1, rank<true>},               {"LOD", 2, 2, 1, rank<false>},
    {"HV", 2, 2, 1, previousExtreme<true>},     {"LV", 2, 2, 1, previousExtreme<false>},
    {"TOPRANGE", 1, 1, -1, rangeCount<true>},   {"LOWRANGE", 1, 1, -1, rangeCount<false>},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::referenceFamily()
{
    return {kReference, std::size(kReference)};
}
