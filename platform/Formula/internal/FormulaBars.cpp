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

FormulaBars::FormulaBars(const std::vector<TagDay>& days, const std::vector<FormulaRun>* known)
    : m_count(int(days.size()))
{
    if (!known || !scanFromEnd(days, *known))
        scanAll(days);
}

void FormulaBars::addRun(const std::vector<TagDay>& days, int start, int next)
{
    const TagDay& first = days[size_t(start)];
    // The first record always holds the columns, even without m_valid.
    const bool columns = start == 0 || startsRun(first);
    const int nominal = start == 0 && !startsRun(first) ? next : int(first.m_valid.size());
    const int length = columns ? std::min(nominal, next - start) : 0;
    if (length > 0)
        m_runs.push_back({start, length, &first, TagDayRun::serialOf(first)});
    if (start + length < next)
        m_runs.push_back({start + length, next - start - length, nullptr, 0});
}

void FormulaBars::scanAll(const std::vector<TagDay>& days)
{
    m_runs.clear();
    if (m_count == 0)
        return;
    int start = 0;
    for (int i = 1; i <= m_count; ++i) {
        if (i == m_count || startsRun(days[size_t(i)])) {
            addRun(days, start, i);
            start = i;
        }
    }
}

bool FormulaBars::scanFromEnd(const std::vector<TagDay>& days,
                              const std::vector<FormulaRun>& known)
{
    // Records after the last known start are looked at one by one (the
    // appended tail); before it, only the known starts: the input has been
    // cut and appended to since, so the latest known start that still holds
    // its run is where the runs seen before end.
    if (m_count == 0)
        return false;
    int lastKnown = -1;
    for (const FormulaRun& r : known) {
        if (r.first)
            lastKnown = r.start;
    }
    std::vector<int> starts; // latest first
    size_t kept = known.size();
    for (int i = m_count - 1; i >= 0 && kept == known.size(); --i) {
        if (i <= lastKnown) {
            // The known start at or before i.
            size_t k = known.size();
            while (k-- > 0 && (known[k].start > i || !known[k].first)) {
            }
            if (k == size_t(-1))
                return false;
            i = known[k].start;
            if (!startsRun(days[size_t(i)]) && i != 0)
                return false; // cut before it: the new start is not where we look
            starts.push_back(i);
            // A run appended where a known one started: look further back.
            if (TagDayRun::serialOf(days[size_t(i)]) == known[k].serial)
                kept = k;
            else if (i == 0)
                kept = 0;
        } else if (i == 0 || startsRun(days[size_t(i)])) {
            starts.push_back(i);
            if (i == 0)
                kept = 0; // no known start left: every start has been found
        }
    }
    m_runs.clear();
    for (size_t k = 0; k < kept && k < known.size(); ++k) {
        const FormulaRun& r = known[k];
        if (r.first) {
            const TagDay& first = days[size_t(r.start)];
            if (!startsRun(first) || TagDayRun::serialOf(first) != r.serial)
                return false;
            m_runs.push_back({r.start, r.length, &first, r.serial});
        } else {
            m_runs.push_back(r);
        }
    }
    for (size_t k = starts.size(); k-- > 0;)
        addRun(days, starts[k], k == 0 ? m_count : starts[k - 1]);
    return true;
}

int FormulaBars::firstChange(const std::vector<FormulaRun>& before,
                             const std::vector<FormulaRun>& now)
{
    int bar = 0;
    for (size_t j = 0; j < before.size() && j < now.size(); ++j) {
        const FormulaRun& a = before[j];
        const FormulaRun& b = now[j];
        if (a.start != b.start || a.serial != b.serial || b.serial == 0 || !a.first || !b.first)
            return bar;
        bar = a.start + std::min(a.length, b.length);
        if (a.length != b.length)
            return bar;
    }
    return bar;
}

void FormulaBars::column(int id, int from, double* out) const
{
    for (const FormulaRun& run : m_runs) {
        const int end = run.start + run.length;
        if (end <= from)
            continue;
        const int begin = std::max(from, run.start);
        if (!run.first) {
            std::fill(out + begin, out + end, kNaN);
            continue;
        }
        const TagDay& bars = *run.first;
        const std::vector<float>* source[] = {&bars.m_open,  &bars.m_high,   &bars.m_low,
                                              &bars.m_close, &bars.m_volume, &bars.m_amount};
        const std::vector<float>& col = *source[id];
        const int filled = std::min(end, run.start + int(col.size()));
        const int flagged = std::min(filled, run.start + int(bars.m_valid.size()));
        for (int i = begin; i < filled; ++i)
            out[i] = inputValue(col[size_t(i - run.start)]);
        for (int i = begin; i < flagged; ++i) {
            if (bars.m_valid[size_t(i - run.start)] == 0)
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
        const std::vector<int>& c = only.first ? only.first->*column : into;
        return int(c.size()) >= m_count ? c.data() : nullptr;
    }
    if (!into.empty())
        return into.data();
    into.assign(size_t(m_count), 0);
    for (const FormulaRun& run : m_runs) {
        if (!run.first)
            continue;
        const std::vector<int>& c = run.first->*column;
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
