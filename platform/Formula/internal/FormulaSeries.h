#pragma once

#include <vector>

// The series functions of the formula language. Every function reads n
// values from x (NaN = no value) and writes n values to out, which must not
// alias x. Windows need `period` values without a gap; see ModuleFormular.h
// for the warm-up rule they implement.
//
// Resuming. Functions with a `from` argument write only bars from `from`
// on (some rewrite a few bars before it with the same values) and take the
// bars of out before it as those of an earlier call over the same values:
// a recursion takes its state from its last value, a window starts again
// where the whole pass would have summed afresh or from a saved state, so
// every value is bit for bit the one a pass from bar 0 gives.
class FormulaSeries
{
public:
    // The state of STD's sliding window before a bar, saved every
    // kStdMarkEvery bars so a later call can resume from it, and before the
    // last bar computed, where a live tick or an appended bar resumes.
    struct StdMark
    {
        double mean = 0.0;
        double m2 = 0.0;
        int inside = 0;
        int gaps = 0;
    };
    static constexpr int kStdMarkEvery = 64;
    struct StdMarks
    {
        std::vector<StdMark> every;
        StdMark last;
        int lastAt = -1;
    };
    // The state of a sliding sum (SUM, MA, COUNT) before the last bar
    // computed: a tick or an appended bar resumes there instead of at the
    // last fresh sum, up to a window length earlier.
    struct SumMark
    {
        double total = 0.0;
        double magnitude = 0.0;
        int gaps = 0;
        int at = -1;
    };

    // A period from a formula number, truncated toward zero. −1 when it is
    // not a number, negative, or 0 where 0 has no meaning; anything longer
    // than the series becomes n + 1 (a window that never fills).
    static int period(double value, int n, bool zeroMeansAll);

    static void fill(double* out, int n, double value);
    // period 0: running total from the first bar
    static void sum(const double* x, int n, int period, double* out, int from = 0,
                    SumMark* mark = nullptr);
    static void ma(const double* x, int n, int period, double* out, int from = 0,
                   SumMark* mark = nullptr);
    static void wma(const double* x, int n, int period, double* out);
    static void ema(const double* x, int n, double period, double* out, int from = 0);
    static void sma(const double* x, int n, double period, double weight, double* out,
                    int from = 0);
    static void ref(const double* x, int n, int shift, double* out, int from = 0);
    static void refSeries(const double* x, const double* shift, int n, double* out,
                          int from = 0);
    // period 0: extreme of all bars so far
    static void extreme(const double* x, int n, int period, bool highest, double* out,
                        int from = 0);
    // period 0: count over all bars so far
    static void count(const double* x, int n, int period, double* out, int from = 0,
                      SumMark* mark = nullptr);
    // marks: the saved states, kept up to date when not null
    static void stdev(const double* x, int n, int period, double* out, int from = 0,
                      StdMarks* marks = nullptr);
    static void avedev(const double* x, int n, int period, double* out, int from = 0);
    static void barsLast(const double* x, int n, double* out, int from = 0);

    // SUM, MA, COUNT, HHV and LLV whose period is a line: each bar takes its
    // own period (truncated; 0 means all bars so far except for MA; below 0
    // or beyond the bars so far, no value). Constant time per bar, so a
    // period that grows with the data (BARSLAST …) stays linear.
    enum class Window { Sum, Mean, Count, Highest, Lowest };
    static void windowByBar(Window kind, const double* x, const double* period, int n,
                            double* out);
    static void cross(const double* a, const double* b, int n, double* out, int from = 0);
};
