#include "FormulaBars.h"

#include "FormulaDecimal.h"

#include "../TagDayRun.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Inputs at or beyond the no-value marker's size carry no value.
constexpr double kNoValueLimit = 999999986991104.0;

double inputValue(float v)
{
    const double d = v;
    return (std::isfinite(d) && std::fabs(d) < kNoValueLimit) ? FormulaDecimal::widen(v) : kNaN;
}

bool startsRun(const TagDay& record)
{
    return !record.m_valid.empty();
}

} // namespace

FormulaBars::FormulaBars(const std::vector<TagDay>& days, std::vector<FormulaRun>* known)
    : m_days(&days)
    , m_count(int(days.size()))
{
    if (!known || !scanFromEnd(*known))
        scanAll();
}

void FormulaBars::addRun(int start, int next)
{
    const TagDay& first = (*m_days)[size_t(start)];
    // The first record always holds the columns, even without m_valid.
    const bool columns = start == 0 || startsRun(first);
    const int nominal = start == 0 && !startsRun(first) ? next : int(first.m_valid.size());
    const int length = columns ? std::min(nominal, next - start) : 0;
    if (length > 0)
        m_runs.push_back({start, length, true, TagDayRun::serialOf(first)});
    if (start + length < next)
        m_runs.push_back({start + length, next - start - length, false, 0});
}

void FormulaBars::scanAll()
{
    m_runs.clear();
    m_firstChange = 0;
    if (m_count == 0)
        return;
    int start = 0;
    for (int i = 1; i <= m_count; ++i) {
        if (i == m_count || startsRun((*m_days)[size_t(i)])) {
            addRun(start, i);
            start = i;
        }
    }
}

bool FormulaBars::scanFromEnd(std::vector<FormulaRun>& known)
{
    // Records after the last known start are looked at one by one (the
    // appended tail); before it, only the known starts: the input has been
    // cut and appended to since, so the latest known start that still holds
    // its run is where the runs seen before end, and those before it stand.
    if (m_count == 0)
        return false;
    const std::vector<TagDay>& days = *m_days;
    size_t k = known.size(); // known runs [0, k) may still start at or before i
    const auto knownStartAtOrBefore = [&](int i) {
        while (k > 0 && (known[k - 1].start > i || !known[k - 1].hasColumns))
            --k;
        return k > 0 ? int(k - 1) : -1;
    };
    const int lastKnown = knownStartAtOrBefore(m_count - 1);
    const int lastKnownStart = lastKnown >= 0 ? known[size_t(lastKnown)].start : -1;
    std::vector<int> starts; // latest first
    int kept = -1;           // the known run that still holds, −1 while looking
    for (int i = m_count - 1; i >= 0 && kept < 0; --i) {
        if (i <= lastKnownStart) {
            const int j = knownStartAtOrBefore(i);
            if (j < 0)
                return false;
            i = known[size_t(j)].start;
            if (!startsRun(days[size_t(i)]) && i != 0)
                return false; // cut before it: the new start is not where we look
            starts.push_back(i);
            // A run appended where a known one started: look further back.
            if (TagDayRun::serialOf(days[size_t(i)]) == known[size_t(j)].serial)
                kept = j;
            else if (i == 0)
                kept = 0;
        } else if (i == 0 || startsRun(days[size_t(i)])) {
            starts.push_back(i);
            if (i == 0)
                kept = 0; // no known start left: every start has been found
        }
    }
    const FormulaRun before = kept < int(known.size()) ? known[size_t(kept)] : FormulaRun();
    m_runs = std::move(known);
    m_runs.resize(size_t(kept));
    for (size_t s = starts.size(); s-- > 0;)
        addRun(starts[s], s == 0 ? m_count : starts[s - 1]);
    // The runs before kept are those seen before; kept itself holds from its
    // start up to the shorter of its two lengths.
    const FormulaRun& now = m_runs[size_t(kept)];
    const bool same = before.hasColumns && before.serial != 0 && before.start == now.start
                      && before.serial == now.serial;
    m_firstChange = same ? now.start + std::min(before.length, now.length) : now.start;
    return true;
}

void FormulaBars::column(int id, int from, double* out) const
{
    // The run holding from, then the ones after it.
    auto run = std::upper_bound(m_runs.begin(), m_runs.end(), from,
                                [](int bar, const FormulaRun& r) { return bar < r.start; });
    if (run != m_runs.begin())
        --run;
    for (; run != m_runs.end(); ++run) {
        const int end = run->start + run->length;
        if (end <= from)
            continue;
        const int begin = std::max(from, run->start);
        if (!run->hasColumns) {
            std::fill(out + begin, out + end, kNaN);
            continue;
        }
        const TagDay& bars = first(*run);
        const std::vector<float>* source[] = {&bars.m_open,  &bars.m_high,   &bars.m_low,
                                              &bars.m_close, &bars.m_volume, &bars.m_amount};
        const std::vector<float>& col = *source[id];
        const int filled = std::min(end, run->start + int(col.size()));
        const int flagged = std::min(filled, run->start + int(bars.m_valid.size()));
        for (int i = begin; i < filled; ++i)
            out[i] = inputValue(col[size_t(i - run->start)]);
        for (int i = begin; i < flagged; ++i) {
            if (bars.m_valid[size_t(i - run->start)] == 0)
                out[i] = kNaN;
        }
        for (int i = std::max(begin, filled); i < end; ++i)
            out[i] = kNaN;
    }
}

const int* FormulaBars::gather(std::vector<int> TagDay::*column, std::vector<int>& into)
{
    if (m_runs.empty())
        return nullptr;
    if (m_runs.size() == 1) {
        const FormulaRun& only = m_runs.front();
        const std::vector<int>& c = only.hasColumns ? first(only).*column : into;
        return int(c.size()) >= m_count ? c.data() : nullptr;
    }
    if (!into.empty())
        return into.data();
    into.assign(size_t(m_count), 0);
    for (const FormulaRun& run : m_runs) {
        if (!run.hasColumns)
            continue;
        const std::vector<int>& c = first(run).*column;
        const int n = std::min(run.length, int(c.size()));
        std::copy(c.begin(), c.begin() + n, into.begin() + run.start);
    }
    return into.data();
}

const int* FormulaBars::dates()
{
    return gather(&TagDay::m_dateCol, m_dates);
}

const int* FormulaBars::times()
{
    return gather(&TagDay::m_time, m_times);
}
