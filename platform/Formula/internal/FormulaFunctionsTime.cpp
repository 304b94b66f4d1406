// Dates and times of the bars, from each record's date-time. A bar without
// a date has no value. Dates in formulas are 1YYMMDD numbers (2024-09-19 is
// 1240919), which a single-precision value holds exactly.

#include "FormulaFamilyTools.h"

#include <QDate>

using namespace FormulaFamily;

namespace {

const QDate kDayZero(1990, 12, 19);

QDate dateOf(int yyyymmdd)
{
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

// f(yyyymmdd, HHMMSS) on every bar with a date.
template <class F>
void perBar(FormulaCall& c, double* o, F f)
{
    for (int i = 0; i < c.count(); ++i) {
        const int d = c.date(i);
        o[i] = d > 0 ? f(d, c.time(i)) : kNaN;
    }
}

void fnDATE(FormulaCall& c, double* o) { perBar(c, o, [](int d, int) { return d - 19000000.0; }); }
void fnTIME(FormulaCall& c, double* o) { perBar(c, o, [](int, int t) { return double(t); }); }
void fnYEAR(FormulaCall& c, double* o) { perBar(c, o, [](int d, int) { return d / 10000; }); }
void fnMONTH(FormulaCall& c, double* o) { perBar(c, o, [](int d, int) { return d / 100 % 100; }); }
void fnDAY(FormulaCall& c, double* o) { perBar(c, o, [](int d, int) { return d % 100; }); }
void fnHOUR(FormulaCall& c, double* o) { perBar(c, o, [](int, int t) { return t / 10000; }); }
void fnMINUTE(FormulaCall& c, double* o) { perBar(c, o, [](int, int t) { return t / 100 % 100; }); }

void fnWEEKDAY(FormulaCall& c, double* o)
{
    perBar(c, o, [](int d, int) {
        const QDate q = dateOf(d);
        return q.isValid() ? double(q.dayOfWeek() % 7) : kNaN;
    });
}

// ISO week number: weeks start on Monday, week 1 holds the year's first
// Thursday.
void fnWEEKOFYEAR(FormulaCall& c, double* o)
{
    perBar(c, o, [](int d, int) {
        const QDate q = dateOf(d);
        return q.isValid() ? double(q.weekNumber()) : kNaN;
    });
}

// 1YYMMDDHHMM; computed in double, so the last digits do not survive a
// single-precision output line.
void fnDATETIME(FormulaCall& c, double* o)
{
    perBar(c, o, [](int d, int t) { return (d - 19000000.0) * 10000.0 + t / 100; });
}

void fnDATETODAY(FormulaCall& c, double* o)
{
    each(c, o, [](double v) {
        const QDate q = v > 0.0 && v < 2e7 ? dateOf(int(v) + 19000000) : QDate();
        return q.isValid() ? double(kDayZero.daysTo(q)) : kNaN;
    });
}

void fnDAYTODATE(FormulaCall& c, double* o)
{
    each(c, o, [](double v) {
        if (!(std::fabs(v) < 3e6))
            return kNaN;
        const QDate q = kDayZero.addDays(qint64(v));
        return q.isValid() && q.year() >= 1900 && q.year() < 3900
            ? q.year() * 10000.0 + q.month() * 100 + q.day() - 19000000.0 : kNaN;
    });
}

void fnTIMETOSEC(FormulaCall& c, double* o)
{
    each(c, o, [](double v) {
        if (!(v >= 0.0 && v < 1e9))
            return kNaN;
        const long t = long(v);
        return double(t / 10000 * 3600 + t / 100 % 100 * 60 + t % 100);
    });
}

void fnSECTOTIME(FormulaCall& c, double* o)
{
    each(c, o, [](double v) {
        if (!(v >= 0.0 && v < 1e9))
            return kNaN;
        const long s = long(v);
        return double(s / 3600 * 10000 + s / 60 % 60 * 100 + s % 60);
    });
}

// The bar period code, from the typical spacing of the bars: 0 one minute,
// 1 five, 2 fifteen, 3 thirty, 4 sixty minutes, 5 daily, 6 weekly,
// 7 monthly, 8 other minutes, 9 other days, 10 quarterly, 11 yearly.
double periodCode(FormulaCall& c)
{
    std::vector<long> gaps;
    bool intraday = false;
    for (int i = 0; i < c.count(); ++i)
        intraday = intraday || c.time(i) != 0;
    for (int i = 1; i < c.count(); ++i) {
        const int d0 = c.date(i - 1), d1 = c.date(i);
        if (d0 <= 0 || d1 <= 0)
            continue;
        if (intraday) {
            const int t0 = c.time(i - 1), t1 = c.time(i);
            const long s0 = t0 / 10000 * 3600 + t0 / 100 % 100 * 60 + t0 % 100;
            const long s1 = t1 / 10000 * 3600 + t1 / 100 % 100 * 60 + t1 % 100;
            if (d0 == d1 && s1 > s0)
                gaps.push_back(s1 - s0);
        } else {
            const qint64 days = dateOf(d0).daysTo(dateOf(d1));
            if (days > 0)
                gaps.push_back(long(days));
        }
    }
    if (gaps.empty())
        return intraday ? 0.0 : 5.0;
    std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
    const long g = gaps[gaps.size() / 2];
    if (intraday) {
        switch (g) {
        case 60: return 0;
        case 300: return 1;
        case 900: return 2;
        case 1800: return 3;
        case 3600: return 4;
        default: return 8;
        }
    }
    if (g <= 4) return 5;
    if (g <= 10) return 6;
    if (g >= 25 && g <= 35) return 7;
    if (g >= 85 && g <= 95) return 10;
    if (g >= 360 && g <= 370) return 11;
    return 9;
}

void fnPERIOD(FormulaCall& c, double* o) { FormulaSeries::fill(o, c.count(), periodCode(c)); }

const FormulaLibraryEntry kTime[] = {
    {"DATE", 0, 0, -1, fnDATE},           {"TIME", 0, 0, -1, fnTIME},
    {"YEAR", 0, 0, -1, fnYEAR},           {"MONTH", 0, 0, -1, fnMONTH},
    {"DAY", 0, 0, -1, fnDAY},             {"HOUR", 0, 0, -1, fnHOUR},
    {"MINUTE", 0, 0, -1, fnMINUTE},       {"WEEKDAY", 0, 0, -1, fnWEEKDAY},
    {"WEEK", 0, 0, -1, fnWEEKDAY},        {"WEEKOFYEAR", 0, 0, -1, fnWEEKOFYEAR},
    {"DATETIME", 0, 0, -1, fnDATETIME},   {"DATETODAY", 1, 1, -1, fnDATETODAY},
    {"DAYTODATE", 1, 1, -1, fnDAYTODATE}, {"TIMETOSEC", 1, 1, -1, fnTIMETOSEC},
    {"SECTOTIME", 1, 1, -1, fnSECTOTIME}, {"PERIOD", 0, 0, -1, fnPERIOD},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::timeFamily()
{
    return {kTime, std::size(kTime)};
}
