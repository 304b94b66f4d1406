// Hostile inputs that the fuzz targets in tests/fuzz turned up: each case
// once crashed, hung or ran into undefined behaviour.

#include "TestKit.h"

#include <limits>

using namespace ZtUIDataStruct;

namespace {

using panetest::flatBars;

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

// An event list of one record at 2024-01-03 dated in field.
DQDDataList eventAt(unsigned field)
{
    DQDDataList events;
    events.append(testkit::record(20240103000000LL, {{field, 20240103000000LL}, {eFieldLevel, 3}}));
    return events;
}

// Ten flat bars, and a pane without a type over them on 200 × 100: it
// computes nothing, which is enough to reach the base queries.
class Reliability : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pane.setData(&m_list);
        m_pane.setRect(0, 0, 200, 100);
        m_bar.setRect(0, 0, 300, 60);
    }
    DQDDataList m_list = flatBars(10);
    panetest::Pane m_pane;
    ZtLineLib_InfoBar m_bar;
};

} // namespace

TEST_F(Reliability, HostileWindowsAnswerNeutrallyAndEnd)
{
    // An empty or negative window has no slot under any x.
    for (int length : {0, -1, kIntMin}) {
        m_pane.setRange(0, length);
        EXPECT_EQ(m_pane.getAxisXDataIndex(50, false), -1) << length;
        EXPECT_EQ(m_pane.getAxisXDataIndex(50, true), -1) << length;
        EXPECT_FALSE(m_pane.checkAxisContainsPos(QPoint(50, 50))) << length;
    }
    // Huge paddings keep the lookup defined.
    for (double pad : {1e300, -1e300, std::numeric_limits<double>::infinity()}) {
        m_pane.setFixedPaddingLeft(pad);
        m_pane.setRange(0, 10);
        const int i = m_pane.getAxisXDataIndex(100, false);
        EXPECT_TRUE(i >= -1 && i < 10) << pad << " " << i;
    }
    m_pane.setFixedPaddingLeft(0);
    m_pane.setRange(kIntMax, 10);
    m_pane.SetMaxMinValue(11.0, 9.0);
    // x past the right edge clamps to the last record; adding the window
    // start to it used to overflow.
    EXPECT_EQ(m_pane.getAxisXDataString(250), QString());
    EXPECT_FALSE(m_pane.checkAxisContainsPos(QPoint(150, 50)));
    EXPECT_FALSE(m_pane.checkAxisContainsPos(QPoint(250, 50)));
    // The intraday grid of a huge window ends.
    DQDDataList list = flatBars(300);
    ZtLineLib_Reference axis;
    axis.setStyleToDyna(true); // the minute grid every 30 and 120 slots
    axis.setIsDLine(true);
    axis.setRect(0, 0, 300, 120);
    axis.setData(&list);
    QImage img;
    // Before the bound this window walked two billion slots.
    for (int length : {kIntMax, kIntMax - 29, 241}) {
        axis.setRange(0, length);
        axis.SetMaxMinValue(11.0, 9.0);
        img = testkit::painted(axis, 300, 120);
    }
    // The 241-slot day is 1.2 px a slot, so its grid lines are still drawn:
    // the middle row has a lit pixel somewhere.
    EXPECT_GT(testkit::countInk(img, QRect(1, 60, 298, 1)), 0);
}

TEST_F(Reliability, InfiniteValuesAndPaddingsStayDefined)
{
    const float inf = std::numeric_limits<float>::infinity();
    m_pane.addLine(panetest::makeLine(eLINE, {10.0f, inf, -inf, std::numeric_limits<float>::quiet_NaN()}));
    m_pane.setRange(0, 4);
    m_pane.SetMaxMinValue(11.0, 9.0);
    EXPECT_EQ(m_pane.getCrossCurvePointByKlineDataIndex(0, 0).y(), 50);
    // Infinite values sit on the band's edges.
    EXPECT_EQ(m_pane.getCrossCurvePointByKlineDataIndex(1, 0).y(), 0);
    EXPECT_EQ(m_pane.getCrossCurvePointByKlineDataIndex(2, 0).y(), 100);
    (void)m_pane.getCrossCurvePointByKlineDataIndex(3, 0);
    // An infinite left padding puts every x infinitely far left: the point
    // stays far left instead of an undefined cast.
    m_pane.setFixedPaddingLeft(-std::numeric_limits<double>::infinity());
    m_pane.setRange(0, 4);
    EXPECT_LT(m_pane.getCrossCurvePointByKlineDataIndex(0, 0).x(), 0);
    // Candles with an infinite right padding paint no bodies.
    ZtLineLib_Formula pane(ZtLineLib_Formula::eFT_KLINE);
    pane.setData(&m_list);
    pane.setRect(0, 0, 200, 100);
    pane.setRange(0, 10);
    const auto lit = [&pane] {
        const QImage img = testkit::painted(pane, 200, 100);
        return testkit::countInk(img, img.rect());
    };
    const int sound = lit();
    // The right edge at −infinity leaves no room: every body is cut away.
    pane.setFixedPaddingRight(std::numeric_limits<double>::infinity());
    EXPECT_GT(sound, 0);
    EXPECT_LT(lit(), sound);
}

TEST_F(Reliability, InfoBarWithANaNPaddingOrAnEmptyListStaysDefined)
{
    m_bar.setData(&m_list);
    m_bar.setRange(0, 5);
    m_bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoDividend, eventAt(eFieldDividendTime));
    m_bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoLevel, eventAt(eFieldLevelTime));
    m_bar.setFixedPaddingLeft(std::numeric_limits<double>::quiet_NaN());
    m_bar.setFixedPaddingTop(std::numeric_limits<double>::quiet_NaN());
    testkit::painted(m_bar, 300, 60);
    ASSERT_EQ(m_bar.lineInfos().size(), 2);
    // With a sound padding the same events land inside the bar.
    m_bar.setFixedPaddingLeft(0.0);
    m_bar.setFixedPaddingTop(0.0);
    testkit::painted(m_bar, 300, 60);
    for (const auto& info : m_bar.lineInfos())
        EXPECT_TRUE(info.x >= 0 && info.x < 300) << info.x;
    // Over an empty list with the lowest start, nothing is placed.
    DQDDataList empty;
    m_bar.setData(&empty);
    m_bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoDividend, eventAt(eFieldDividendTime));
    m_bar.setRange(kIntMin, 3);
    EXPECT_TRUE(m_bar.lineInfos().isEmpty());
    // Start plus length below INT_MIN once wrapped to a span of 2^31 keys.
    m_bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoLevel, eventAt(eFieldLevelTime));
    m_bar.setRange(kIntMin, -30);
    EXPECT_TRUE(m_bar.lineInfos().isEmpty());
}

TEST_F(Reliability, ANumberReplacingTextKeepsTheRecordsOtherFields)
{
    DQDUnionReader r;
    r.setValue(eFieldDividendText, QStringLiteral("10 for 3"));
    r.setValue(eFieldClose, QStringLiteral("n/a"));
    r.setValue(eFieldClose, 9.5);
    EXPECT_TRUE(r.hasValue(eFieldDividendText));
    EXPECT_EQ(r.numberValue(eFieldClose, 0.0), 9.5);
}
