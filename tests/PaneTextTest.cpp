// The value text of the indicator pane and the rounding the painters share
// with it.

#include "TestKit.h"

#include <FormulaDrawType.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace ZtUIDataStruct;
using namespace panetest;

namespace {

const float kMarker = float(kZtNoValue);

} // namespace

TEST(PaneText, MacdLegendWithArrows)
{
    DQDDataList list = flatBars(3);
    Pane pane(ZtLineLib_Formula::eFT_MACD);
    pane.setData(&list);
    pane.setPrec(2);
    pane.m_params = {12, 26, 9};
    pane.addLine(makeLine(eLINE, {0.11f, 0.1234f}, true, QStringLiteral("DIFF")));
    pane.addLine(makeLine(eLINE, {0.12f, 0.1f}, true, QStringLiteral("DEA")));
    pane.addLine(makeLine(eCOLORSTICK, {0.05f, 0.05f}, true, QStringLiteral("MACD")));

    EXPECT_EQ(pane.getChildDataString(1), "MACD(12,26,9) |DIFF:0.12↑,&DEA:0.10↓,&MACD:0.05↑");
    // The first item has nothing to compare with: always up.
    EXPECT_EQ(pane.getChildDataString(0), "MACD(12,26,9) |DIFF:0.11↑,&DEA:0.12↑,&MACD:0.05↑");
    // Past a line's values, before the first item, and at the record count:
    // no value.
    for (int index : {2, -1, 3})
        EXPECT_EQ(pane.getChildDataString(index), "MACD(12,26,9) |DIFF:--,&DEA:--,&MACD:--") << index;

    // Zero parameters are left out; none left means no title.
    pane.m_params = {12, 0, 9};
    EXPECT_TRUE(pane.getChildDataString(1).startsWith(QStringLiteral("MACD(12,9) |DIFF:")));
    pane.m_params = {0, 0};
    EXPECT_TRUE(pane.getChildDataString(1).startsWith(QStringLiteral(" |DIFF:")));
}

TEST(PaneText, AverageAndVolumeLabelsAndNameOnlyLines)
{
    DQDDataList list = flatBars(2);
    Pane pane(ZtLineLib_Formula::eFT_MA);
    pane.setData(&list);
    pane.setPrec(1);
    pane.m_params = {5, 10, 20};
    for (const char* name : {"a", "b", "c", "TOTAL"})
        pane.addLine(makeLine(eLINE, {1.0f, 2.0f}, true, QString::fromLatin1(name)));
    EXPECT_EQ(pane.getChildDataString(1), "MA(5,10,20) |MA5:2.0↑,&MA10:2.0↑,&MA20:2.0↑,&TOTAL:2.0↑");

    // A name-only line gives its name and "& " (also when unnamed); a value
    // line without a name gives nothing, one marked NOTEXT neither, one
    // marked NOTITLE its value alone; the last separator goes.
    Pane mixed(ZtLineLib_Formula::eFT_KDJ);
    mixed.setData(&list);
    mixed.setPrec(2);
    mixed.addLine(makeLine(eLINE, {1.0f, 2.0f}, false, QStringLiteral("NOTE"), false));
    mixed.addLine(makeLine(eLINE, {1.0f, 2.0f}, false, QString(), true));
    mixed.addLine(makeLine(eLINE, {1.0f, kMarker}, false, QStringLiteral("K")));
    for (quint16 style : {eFormulaStyleNoText, eFormulaStyleNoTitle}) {
        mixed.addLine(makeLine(eLINE, {5.0f, kMarker}, false, QStringLiteral("D")));
        mixed.line(mixed.formulaLines().lineCount() - 1)->lineStyle = style;
    }
    mixed.addLine(makeLine(eLINE, {1.0f, 2.0f}, false, QString(), false));
    EXPECT_EQ(mixed.getChildDataString(0), " |NOTE& K:1.00↑,&5.00↑,&");
    EXPECT_EQ(mixed.getChildDataString(1), " |NOTE& K:--,&--,&");
    mixed.line(2)->values[1] = std::nanf("");
    EXPECT_EQ(mixed.getChildDataString(1), " |NOTE& K:--,&--,&");
    Pane bare(ZtLineLib_Formula::eFT_KDJ);
    EXPECT_EQ(bare.getChildDataString(0), " |");
    // Volumes 100, 200, … 600: MA5 at item 4 is 300, MA10 has no value yet.
    DQDDataList volumes = indicatorpane::volumeList({100, 200, 300, 400, 500, 600});
    Pane volume(ZtLineLib_Formula::eFT_VOL);
    volume.setRect(0, 0, 300, 100);
    volume.setData(&volumes);
    volume.m_params = {5, 10};
    volume.setRange(0, 6);
    EXPECT_EQ(volume.getDataString(4), " |VOLUME:500↑,&MA5:300↑,&MA10:--");
}

TEST(PaneText, ScalingAndPrecision)
{
    DQDDataList list = flatBars(1);
    Pane pane(ZtLineLib_Formula::eFT_NONE);
    pane.setData(&list);
    pane.addLine(makeLine(eLINE, {123456.0f}, false, QStringLiteral("V")));
    // A scaling of 0 would print "inf": the value stays unscaled.
    for (auto [scaling, prec, text] : {std::tuple{10000, 2, "12.35"}, {10000, 0, "12"}, {0, 0, "123456"},
                                       {-100, 0, "-1235"}}) {
        pane.setDataScaling(scaling);
        pane.setPrec(prec);
        EXPECT_EQ(pane.getChildDataString(0), QString(" |V:%1↑").arg(text)) << scaling;
    }
}

TEST(PaneText, RoundingAgreesWithTheTextRoundTrip)
{
    auto text = [](double v, int p) { return QString::number(v, 'f', p).toDouble(); };
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a == 0 && b == 0); };
    // Halves go away from zero; values just off a half go their own way.
    EXPECT_EQ(ZtLineLib_Formula::roundToPrec(-2.5, 0), -3.0);
    EXPECT_EQ(ZtLineLib_Formula::roundToPrec(1.005, 2), 1.0); // 1.00499999…
    EXPECT_TRUE(std::signbit(ZtLineLib_Formula::roundToPrec(-0.001, 2)));
    EXPECT_TRUE(std::isnan(ZtLineLib_Formula::roundToPrec(std::nan(""), 2)));
    EXPECT_EQ(ZtLineLib_Formula::roundToPrec(0.1, 30), text(0.1, 30)); // more decimals than a double holds

    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 18);
    std::uniform_int_distribution<int> decimals(-1, 9);
    int mismatches = 0;
    for (int n = 0; n < 200000; ++n) {
        const int p = decimals(rng);
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (n % 4 == 0) // exact and near halves at p decimals
            v = (std::round(v * 1e3) + 0.5) / std::pow(10.0, std::max(p, 0));
        if (n % 8 == 1)
            v = float(v); // painters round widened floats
        if (!same(ZtLineLib_Formula::roundToPrec(v, p), text(v, p)) && ++mismatches < 5)
            ADD_FAILURE() << "value " << v << " decimals " << p;
    }
    EXPECT_EQ(mismatches, 0);
}
