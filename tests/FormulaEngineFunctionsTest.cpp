// The function families of the formula language against values worked out
// by hand, one table per family, and the numeric rules of the language.

#include "FormulaEngineTestSupport.h"

using namespace FormulaTest;

namespace {

// Bars with a date (yyyymmdd) and time of day (HHMMSS) each.
CInputData timedInput(const std::vector<double>& closes, const std::vector<int>& dates,
                      const std::vector<int>& times)
{
    CInputData input = makeInput(closesOnly(closes));
    input.days.front().m_dateCol = dates;
    input.days.front().m_time = times;
    return input;
}

} // namespace

TEST(FormulaEngineFunctions, Math)
{
    const double l2 = std::log(2.0), l3 = std::log(3.0);
    checkAll({
        {"LN(C-1)", {l2, N_, l3, N_, 2 * l2, 3 * l2, 0, std::log(5.0)}},
        {"ISVALID(POW(-C,0.5))+ISVALID(ROUND2(C,-1))", {0, 0, 0, 0, 0, 0, 0, 0}}, // outside the domain
        {"ROUND(C/2)", {2, 1, 2, 1, 3, 5, 1, 3}},
        {"ROUND(-C/2)", {-2, -1, -2, -1, -3, -5, -1, -3}},
        {"ROUND2(C/8,2)", {0.38, 0.13, 0.5, 0.13, 0.63, 1.13, 0.25, 0.75}},
        {"CEILING(-C/2)", {-1, 0, -2, 0, -2, -4, -1, -3}},
        {"FLOOR(-C/2)", {-2, -1, -2, -1, -3, -5, -1, -3}},
        {"INTPART(-C/2)", {-1, 0, -2, 0, -2, -4, -1, -3}},
        {"FRACPART(-C/2)", {-0.5, -0.5, 0, -0.5, -0.5, -0.5, 0, 0}},
        {"MOD(-C,3)", {0, -1, -1, -1, -2, 0, -2, 0}},
        {"MOD(C*1.5,2)", {0.5, 1.5, 0, 1.5, 1.5, 1.5, 1, 1}},
        {"MOD(C,0)", {N_, N_, N_, N_, N_, N_, N_, N_}},
        {"SIGN(C-4)", {-1, -1, 0, -1, 1, 1, -1, 1}},
        {"BETWEEN(C,4,2)", {1, 0, 1, 0, 0, 0, 1, 0}},
        {"RANGE(C,2,5)", {1, 0, 1, 0, 0, 0, 0, 0}},
        {"BETWEEN(REF(C,1),4,2)", {N_, 1, 0, 1, 0, 0, 0, 1}},
        {"CONST(C)", {6, 6, 6, 6, 6, 6, 6, 6}},
        {"MAX6(C,2,REF(C,1))", {N_, 3, 4, 4, 5, 9, 9, 6}},
        {"MIN6(C,4,5,6,7,8)", {3, 1, 4, 1, 4, 4, 2, 4}},
        {"RAND(6)=INTPART(RAND(6)) AND BETWEEN(RAND(6),1,6)", {1, 1, 1, 1, 1, 1, 1, 1}},
    });
}

TEST(FormulaEngineFunctions, MovingAveragesAndStatistics)
{
    const double r = std::sqrt(7.0 / 3.0);
    checkAll({
        {"DMA(C,0.5)", {3, 2, 3, 2, 3.5, 6.25, 4.125, 5.0625}},
        {"DMA(C,IF(C>4,1,0.5))", {3, 2, 3, 2, 5, 9, 5.5, 6}},
        {"TMA(C,0.5,1)", {3, 2.5, 5.25, 3.625, 6.8125, 12.40625, 8.203125, 10.1015625}},
        {"MEMA(C,3)", {3, 7 / 3.0, 26 / 9.0, 61 / 27.0, 257 / 81.0, 1243 / 243.0, 2972 / 729.0,
                       10318 / 2187.0}},
        {"EXPMEMA(C,3)", {N_, N_, 8 / 3.0, 11 / 6.0, 41 / 12.0, 149 / 24.0, 197 / 48.0,
                          485 / 96.0}},
        {"EXPMEMA(C,1)-C", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"TRMA(C,4)", {N_, N_, N_, 7 / 3.0, 8 / 3.0, 12.5 / 3, 15.5 / 3, 5.5}},
        {"XMA(IF(C=4,DRAWNULL,C),3)", {2, N_, N_, N_, 5, 16 / 3.0, 17 / 3.0, 4}},
        {"HARMEAN(C,2)", {N_, 1.5, 1.6, 1.6, 5 / 3.0, 90 / 14.0, 36 / 11.0, 3}},
        {"MULAR(C,2)", {N_, 3, 4, 4, 5, 45, 18, 12}},
        {"MULAR(C,0)", {3, 3, 12, 12, 60, 540, 1080, 6480}},
        {"SLOPE(C,3)+SLOPE(C,1)", {N_, N_, 0.5, 0, 0.5, 4, -1.5, -1.5}},
        {"FORCAST(C,3)", {N_, N_, 19 / 6.0, 2, 23 / 6.0, 9, 23 / 6.0, 25 / 6.0}},
        {"TSMA(C,3)", {N_, N_, 11 / 3.0, 2, 13 / 3.0, 13, 7 / 3.0, 8 / 3.0}},
        {"STDDEV(C,3)", {N_, N_, r, std::sqrt(3.0), std::sqrt(13 / 3.0), 4, std::sqrt(37 / 3.0),
                         std::sqrt(37 / 3.0)}},
        {"STDP(C,2)*10+STDDEV(C,2)/SQRT(2)+STDP(C,1)", {N_, 11, 16.5, 16.5, 22, 22, 38.5, 22}},
        {"VAR(C+1E12,2)", {N_, 2, 4.5, 4.5, 8, 8, 24.5, 8}}, // far from zero: no cancellation
        {"VARP(C,2)", {N_, 1, 2.25, 2.25, 4, 4, 12.25, 4}},
        {"DEVSQ(C,3)", {N_, N_, 14 / 3.0, 6, 26 / 3.0, 32, 74 / 3.0, 74 / 3.0}},
        {"COVAR(C,REF(C,1),2)", {N_, N_, -1.5, -2.25, -3, 4, -7, -7}},
        {"RELATE(C,-2*C+1,3)", {N_, N_, -1, -1, -1, -1, -1, -1}},
        {"BETA2(2*C,C,2)", {N_, N_, 1, 1, 1, 1, 1, 1}},
    });
}

TEST(FormulaEngineFunctions, ReferencesAndCounts)
{
    checkAll({
        {"BARSCOUNT(REF(C,2))", {N_, N_, 1, 2, 3, 4, 5, 6}},
        {"BARSSINCE(C>4)", {N_, N_, N_, N_, 0, 1, 2, 3}},
        {"BARSSINCE(C>2)", {0, 1, 2, 3, 4, 5, 6, 7}}, // true from the first bar on
        {"BARSSINCEN(C>4,3)", {N_, N_, N_, N_, 0, 1, 2, 2}},
        {"BARSSINCEN(C>2,3)", {N_, N_, 2, 1, 2, 1, 2, 2}},
        {"BARSLASTCOUNT(C>2)", {1, 0, 1, 0, 1, 2, 0, 1}},
        {"BARSLASTS(C>4,2)", {N_, N_, N_, N_, N_, 1, 2, 2}},
        {"BARSLASTS(C>4,1)", {N_, N_, N_, N_, 0, 0, 1, 0}},
        {"BARSNEXT(C>4)", {4, 3, 2, 1, 0, 0, 1, 0}},
        {"BARSNEXT(REF(C,1)>3)", {N_, 2, 1, 0, 1, 0, 0, N_}},
        {"BARPOS*10+CURRBARSCOUNT", {18, 27, 36, 45, 54, 63, 72, 81}},
        {"TOTALBARSCOUNT+ISLASTBAR", {8, 8, 8, 8, 8, 8, 8, 9}},
        {"HHVBARS(C,3)*10+LLVBARS(C,3)", {N_, N_, 1, 10, 1, 2, 10, 21}},
        {"HHVBARS(C,0)", {0, 1, 0, 1, 0, 0, 1, 2}},
        {"SUMBARS(IF(C<9,C,DRAWNULL),5)", {N_, N_, 2, 2, 1, N_, 3, 1}},
        {"VALUEWHEN(C>4,C*10)", {N_, N_, N_, N_, 50, 90, 90, 60}},
        {"REFV(C,2)*10+REFV(C,0)", {N_, N_, 34, 11, 45, 19, 52, 96}},
        {"REFV(C,IF(C>4,1,2))", {N_, N_, 3, 1, 1, 5, 5, 2}},
        {"REFX(C,2)", {4, 1, 5, 9, 2, 6, 6, 6}},
        {"REFXV(C,2)", {4, 1, 5, 9, 2, 6, N_, N_}},
        {"FINDHIGH(C,0,3,2)", {N_, N_, 3, 1, 4, 5, 5, 6}},
        {"FINDHIGH(C,0,5,3)", {N_, N_, N_, N_, 3, 4, 4, 5}},
        {"FINDHIGH(C,1,3,1)", {N_, N_, N_, 4, 4, 5, 9, 9}},
        {"FINDLOWBARS(C,0,3,1)", {N_, N_, 1, 0, 1, 2, 0, 1}},
        {"HOD(C,3)", {N_, N_, 1, 2, 1, 1, 3, 2}},
        {"LOD(C,3)", {N_, N_, 3, 1, 3, 3, 1, 2}},
        {"HOD(C,0)", {1, 2, 1, 3, 1, 1, 5, 2}},
        {"LOD(REF(C,1),2)", {N_, N_, 1, 2, 1, 2, 2, 1}}, // the bar without a value leaves the window
        {"HV(C,3)", {N_, N_, N_, 4, 4, 5, 9, 9}},
        {"LV(C,2)", {N_, N_, 1, 1, 1, 1, 5, 2}},
        {"TOPRANGE(C)", {0, 0, 2, 0, 4, 5, 0, 1}},
        {"LOWRANGE(C)", {0, 1, 0, 3, 0, 0, 2, 0}},
    });
}

TEST(FormulaEngineFunctions, PriceSignals)
{
    Bars bars = closesOnly({9.5, 10.5, 11.5, 12.5, 11, 8.5});
    bars.high = {10, 11, 12, 13, 12, 9};
    bars.low = {9, 10, 11, 12, 10, 8};
    checkAll({
                 {"TR", {N_, 1.5, 1.5, 1.5, 2.5, 3}},
                 // Stops at each close: rising from LLV(L,2), step 0.1 up to 0.2,
                 // turned down by bar 4's low.
                 {"SAR(2,10,20)", {N_, 9, 9.6, 10.28, 13, 12}},
                 {"SARTURN(2,10,20)", {N_, 0, 0, 0, -1, 0}},
                 {"ZIG(4,10)", {9.5, 10.5, 11.5, 12.5, 10.5, 8.5}}, // a price code past 3 follows the close
             }, makeInput(bars));
    // The first stop lies under the lowest low of the first N bars, the
    // extreme at their highest high, bar 1's included.
    bars = closesOnly({9.5, 11.5, 10.5, 11, 12.5});
    bars.high = {10, 12, 11, 11.5, 13};
    bars.low = {9, 9.5, 10, 10.5, 11};
    checkAll({{"SAR(3,10,20)", {N_, N_, 9, 9.3, 10.04}}}, makeInput(bars));
    // Turns of 10 %: up to 12, down to 9, up to the end.
    checkAll({
                 {"ZIG(3,10)", {10, 12, 10.5, 9, 11, 13}},
                 {"PEAK(3,10,1)", {N_, 12, 12, 12, 12, 12}},
                 {"PEAKBARS(3,10,1)", {N_, 0, 1, 2, 3, 4}},
                 {"TROUGH(C,10,1)", {N_, N_, N_, 9, 9, 9}},
                 {"TROUGHBARS(3,10,1)", {N_, N_, N_, 0, 1, 2}},
             }, makeInput(closesOnly({10, 12, 11, 9, 10, 13})));
    // A peak followed by less than a 10 % fall is still a turn; of two equal
    // lows the first is the trough.
    checkAll({{"ZIG(3,10)", {10, 12, 11.5}}}, makeInput(closesOnly({10, 12, 11.5})));
    checkAll({{"ZIG(3,10)", {10, 12, 9, 10, 11}}}, makeInput(closesOnly({10, 12, 9, 9, 11})));
    // Below zero a turn is 10 % of the value's size, so a 6 % dip is none;
    // from 0 any move is one, and staying at 0 is none.
    checkAll({{"ZIG(3,10)", {-5, -3, -3, -3, -3}}}, makeInput(closesOnly({-5, -3, -3.2, -3, -3})));
    checkAll({{"ZIG(3,10)", {0, 0.5, 1, 0.5}}}, makeInput(closesOnly({0, 0, 1, 0.5})));
}

TEST(FormulaEngineFunctions, Logic)
{
    // First, and over an odd count of bars: fresh buffers leave no room
    // for a write past the last bar to go unnoticed.
    checkAll({{"LONGCROSS(C,3,1)", {N_, 0, 1, 0, 1, 0, 0}}}, makeInput(closesOnly({3, 1, 4, 1, 5, 9, 2})));
    checkAll({
        {"IFN(C>3,C,0)", {3, 1, 0, 1, 0, 0, 2, 0}},
        {"EVERY(C>2,2)", {N_, 0, 0, 0, 0, 1, 0, 0}},
        {"EXIST(C>5,2)", {N_, 0, 0, 0, 0, 1, 1, 1}},
        {"EVERY(C>2,0)+EXIST(C>5,0)*10", {1, 0, 0, 0, 0, 10, 10, 10}},
        {"EXISTR(C>5,3,2)", {N_, N_, N_, 0, 0, 0, 0, 1}},
        {"EXISTR(C>5,-1,2)", {N_, N_, N_, N_, N_, N_, N_, N_}},
        {"LAST(C>2,2,1)", {N_, N_, 0, 0, 0, 0, 1, 0}},
        {"LAST(C>0,0,0)", {1, 1, 1, 1, 1, 1, 1, 1}},
        {"LONGCROSS(C,IF(C<9,3,DRAWNULL),2)", {N_, N_, 0, 0, 0, N_, 0, 0}}, // one side without a value: none
        {"CROSSDOWN(C,3)", {N_, 0, 0, 1, 0, 0, 1, 0}},
        {"NDAY(C,1,2)", {N_, 0, 0, 0, 0, 1, 1, 1}},
        {"UPNDAY(C,2)", {N_, N_, 0, 0, 0, 1, 0, 0}},
        {"DOWNNDAY(C,1)", {N_, 1, 0, 1, 0, 0, 1, 0}},
        {"FILTER(C>2,1)", {1, 0, 1, 0, 1, 0, 0, 1}},
        {"FILTERX(C>2,1)", {1, 0, 1, 0, 0, 1, 0, 1}},
        {"TFILTER(C>4,C<2,1)", {0, 0, 0, 0, 1, 0, 0, 0}},
        {"TFILTER(C>4,C<3,0)", {0, 0, 0, 0, 1, 0, 2, 1}},
        {"TFILTER(C>4,C<3,2)", {0, 0, 0, 0, 0, 0, 1, 0}},
        {"BACKSET(C>8,3)", {0, 0, 0, 1, 1, 1, 0, 0}},
        {"ISVALID(REF(C,1))+ISVALID(0)", {1, 2, 2, 2, 2, 2, 2, 2}},
        {"IF(C>4,C,DRAWNULL)", {N_, N_, N_, N_, 5, 9, N_, 6}},
    });
    Bars bars = closesOnly({1, 2, 3});
    bars.open = {2, 2, 2};
    checkAll({{"ISUP*100+ISDOWN*10+ISEQUAL", {10, 1, 100}}}, makeInput(bars));
}

TEST(FormulaEngineFunctions, TimeFromTheRecords)
{
    // Tuesday 2024-01-02 … Thursday 2024-01-18, daily bars four days apart.
    const std::vector<int> days = {20240102, 20240106, 20240110, 20240114, 20240118};
    checkAll({
        {"DATE", {1240102, 1240106, 1240110, 1240114, 1240118}},
        {"YEAR*10000+MONTH*100+DAY", {20240102, 20240106, 20240110, 20240114, 20240118}},
        {"WEEKDAY*10+WEEKOFYEAR", {21, 61, 32, 2, 43}},
        {"TIME+PERIOD", {5, 5, 5, 5, 5}},
        {"DATETODAY(DATE)", {12067, 12071, 12075, 12079, 12083}},
        {"DAYTODATE(DATETODAY(DATE))-DATE", {0, 0, 0, 0, 0}},
        {"REFDATE(C,1240110)", {3, 3, 3, 3, 3}},
    }, timedInput({1, 2, 3, 4, 5}, days, std::vector<int>(5, 0)));
    checkAll({
        {"TIME+PERIOD", {93100, 93200, 93300}},
        {"HOUR*100+MINUTE", {931, 932, 933}},
        {"TIMETOSEC(TIME)", {34260, 34320, 34380}},
        {"SECTOTIME(TIMETOSEC(TIME)+59)", {93159, 93259, 93359}},
        {"DATETIME-12409190000", {931, 932, 933}},
    }, timedInput({1, 2, 3}, std::vector<int>(3, 20240919), {93100, 93200, 93300}));
    // The period at the edges of its gap classes: 5-minute bars (stamped at
    // 10 seconds past), months 35 (36 is none), quarters 95 and years 371 days apart.
    expectSeries("PERIOD", timedInput({1, 2, 3}, std::vector<int>(3, 20240919), {93510, 94010, 94510}), {1, 1, 1});
    expectSeries("PERIOD", timedInput({1, 2, 3}, {20230101, 20230205, 20230312}, std::vector<int>(3, 0)), {7, 7, 7});
    expectSeries("PERIOD", timedInput({1, 2, 3}, {20230101, 20230206, 20230314}, std::vector<int>(3, 0)), {9, 9, 9});
    expectSeries("PERIOD", timedInput({1, 2, 3}, {20230101, 20230406, 20230710}, std::vector<int>(3, 0)), {10, 10, 10});
    expectSeries("PERIOD", timedInput({1, 2, 3}, {20230101, 20240107, 20250112}, std::vector<int>(3, 0)), {9, 9, 9});
}

TEST(FormulaEngineFunctions, DecimalPricesAndNumericRules)
{
    // Single-precision prices compare and cancel as their decimals do.
    Bars bars = closesOnly({10.05, 0.26, 20.1, 3000.02});
    bars.high = {10.07, 0.27, 20.13, 3000.03};
    bars.low = {10.03, 0.25, 20.07, 3000.01};
    bars.open = {9.95, 0.06, 20.4, 2999.92};
    checkAll({
                 {"(2*C-H-L=0)*10+((H+L)/2=C)", {11, 11, 11, 11}},
                 {"(O=0.06)+(O*3=0.18)*10+(H-C=0.01)*100", {0, 111, 0, 100}},
                 {"SUM(C-O,3)", {N_, N_, 0, 0}},
                 {"(C-O)/(2*C-H-L)", {N_, N_, N_, N_}},
             }, makeInput(bars));
    checkAll({
        // A tie on the previous bar is not a cross.
        {"CROSS(C,3)*10+CROSS(C,IF(C<9,4,DRAWNULL))", {N_, 0, 10, 0, 11, N_, N_, 11}},
        {"CROSS(MA(C,2),C)", {N_, N_, 0, 1, 0, 0, 1, 0}}, // no value the bar before: no answer
        // M ≥ N follows X; a weight or period of 0 or below gives no value.
        {"SMA(C,3,5)-C", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"ISVALID(SMA(C,3,0))+ISVALID(MA(C,-2))+ISVALID(DMA(C,0))", {0, 0, 0, 0, 0, 0, 0, 0}},
        // A result as large as the no-value marker is none.
        {"999999986991104", {N_, N_, N_, N_, N_, N_, N_, N_}},
        // A line as the period: each bar its own window, 0 all bars so far.
        {"HHV(C,BARSLAST(C>4)+1)", {N_, N_, N_, N_, 5, 9, 9, 6}},
        {"HHV(C,IF(C>5,5,1))", {3, 1, 4, 1, 5, 9, 2, 9}}, // the highest in the window's middle
        {"LLV(C,IF(C>3,3,0))", {3, 1, 1, 1, 1, 1, 1, 2}},
        {"MA(C,IF(C>3,2,0))", {N_, N_, 2.5, N_, 3, 7, N_, 4}},
        {"SUM(C,BARPOS)+COUNT(C>2,BARPOS)*100", {103, 104, 208, 209, 314, 423, 425, 531}},
        {"SIGN(SUM(IF(BARPOS=1,100000.1-100000,-0.1),BARPOS))", {1, 0, -1, -1, -1, -1, -1, -1}}, // cancels as decimals
        {"HHVBARS(C,IF(C>3,3,0))*10+LLVBARS(C,2+ISLASTBAR)", {N_, 10, 1, 10, 1, 1, 10, 21}},
        {"EVERY(C>0,BARPOS)+EXIST(C>8,IF(C>4,2,1))*10", {1, 1, 1, 1, 1, 11, 1, 1}},
    });
    checkAll({{"CROSS(C,3)", {N_, 1, 0, 0, 0}}}, makeInput(closesOnly({2, 4, 3, 3, 5})));
}
