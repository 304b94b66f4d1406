#include "TestKit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;

namespace {

constexpr double kFloat = 1e6;

// Rows of a layer as (price in yuan, volume) pairs.
QVector<QPair<double, double>> rowsOf(const ClientData::YdcmSjfb& layer)
{
    QVector<QPair<double, double>> rows;
    for (const auto& item : layer.rdydcmjgfb())
        rows.append({DataTrans::getValueFromLL(item.price(), 5), item.volume()});
    return rows;
}

class DataServiceChips : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        PBDataChange::registerInstrument("C", "Chips", DQDDataList(), DQDDataList(),
                                         {{20200101, kFloat}});
        m_reader = readerOf("C");
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    ClientData::ClientDataMSG run(ZtE_YDCMJS_OUT_TYPE out, ZtE_YDCMJS_CMFB_TYPE shape,
                                  QVector<int> periods = {}, qint64 key = 0, int count = 1,
                                  double ratio = 1.0)
    {
        return ZtZB_Ydcmjs::Ydcmjs(m_list, m_reader, key, out, count, shape, ratio, periods);
    }

    DQDDataList m_list;
    DQDUnionReader m_reader;
};

} // namespace

TEST_F(DataServiceChips, FullTurnoverReplacesEveryChip)
{
    m_list.append(bar(20200102000000, 20.00, 20.09, 20.05, 300000));  // 30 %
    m_list.append(bar(20200103000000, 10.00, 10.09, 10.04, kFloat));  // 100 %
    const auto msg = run(eZtYdcmOutAll, eZtYdcmUniform);
    ASSERT_EQ(msg.rdydcmdata_size(), 1);
    const auto& d = msg.rdydcmdata(0);
    EXPECT_EQ(d.date(), 20200103000000);
    ASSERT_EQ(d.rdydcmsjfb_size(), 1);
    EXPECT_EQ(d.rdydcmsjfb(0).id(), 0);
    const auto rows = rowsOf(d.rdydcmsjfb(0));
    ASSERT_EQ(rows.size(), 10);
    for (int i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(rows[i].first, 10.00 + 0.01 * i, 1e-9);
        EXPECT_NEAR(rows[i].second, kFloat / 10, 1e-6);
    }
    // Key figures of ten equal rows 10.00 … 10.09 with the close at 10.04.
    const double figures[] = {d.hlbl(), d.pjcb(), d.p90min(), d.p90max(), d.p70min(), d.p70max(), d.p90jzd(), d.p70jzd()};
    const double expected[] = {0.5, 10.045, 10.00, 10.09, 10.01, 10.08, 0.09 / 20.09, 0.07 / 20.09};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(figures[i], expected[i], 1e-9) << i;
}

TEST_F(DataServiceChips, HalfTurnoverHalvesOldChipsAndLayersSplitByAge)
{
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat));      // 100 %
    m_list.append(bar(20200103000000, 12.00, 12.04, 12.02, kFloat / 2));  // 50 %
    const auto young = run(eZtYdcmOutYounger, eZtYdcmUniform, {1, 0, -3, 1, 5});
    ASSERT_EQ(young.rdydcmdata_size(), 1);
    const auto& d = young.rdydcmdata(0);
    // Layers: all chips, then periods 1 and 5; 0, −3 and the repeated 1 dropped.
    ASSERT_EQ(d.rdydcmsjfb_size(), 3);
    EXPECT_EQ(d.rdydcmsjfb(1).id(), 1);
    EXPECT_EQ(d.rdydcmsjfb(2).id(), 5);

    const auto all = rowsOf(d.rdydcmsjfb(0));
    ASSERT_EQ(all.size(), 15);
    EXPECT_NEAR(all.first().second, kFloat / 10 / 2, 1e-6);  // old chips halved
    EXPECT_NEAR(all.last().second, kFloat / 2 / 5, 1e-6);     // new chips
    // Close 12.02: the two rows above it (a fifth of the new half) are at a loss.
    EXPECT_NEAR(d.hlbl(), 0.5 + 0.5 * 3 / 5, 1e-12);
    EXPECT_NEAR(d.pjcb(), 0.5 * 10.045 + 0.5 * 12.02, 1e-9);

    const auto lastBar = rowsOf(d.rdydcmsjfb(1));
    ASSERT_EQ(lastBar.size(), 5);
    EXPECT_NEAR(lastBar.first().first, 12.00, 1e-9);
    EXPECT_NEAR(d.rdydcmsjfb(1).share(), 0.5, 1e-12);
    EXPECT_NEAR(d.rdydcmsjfb(2).share(), 1.0, 1e-12);
    EXPECT_EQ(rowsOf(d.rdydcmsjfb(2)).size(), 15);

    const auto old = run(eZtYdcmOutOlder, eZtYdcmUniform, {1});
    const auto older = rowsOf(old.rdydcmdata(0).rdydcmsjfb(1));
    ASSERT_EQ(older.size(), 10);
    EXPECT_NEAR(older.last().first, 10.09, 1e-9);
    EXPECT_NEAR(older.last().second, kFloat / 20, 1e-6);
    EXPECT_NEAR(old.rdydcmdata(0).rdydcmsjfb(1).share(), 0.5, 1e-12);

    // The ratio scales turnover: a quarter of the float traded, counted twice.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat / 2));
    m_list.append(bar(20200103000000, 12.00, 12.04, 12.02, kFloat / 4));
    const auto scaled = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, 2.0)
                                   .rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(scaled.size(), 15);
    EXPECT_NEAR(scaled.first().second, kFloat / 20, 1e-6);
}

TEST_F(DataServiceChips, TriangularPeaksAtTheAveragePriceUniformIsFlat)
{
    // Eleven rows 10.00 … 10.10, average 10.05 from the amount.
    m_list.append(bar(20200102000000, 10.00, 10.10, 10.10, kFloat, kFloat * 10.05));
    const auto tri = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(tri.size(), 11);
    // Weights 1 − |k − 5| / 6 sum to 6: peak 1/6, ends 1/36 of the chips.
    EXPECT_NEAR(tri[5].second, kFloat / 6, 1e-6);
    EXPECT_NEAR(tri[0].second, kFloat / 36, 1e-6);
    EXPECT_NEAR(tri[10].second, kFloat / 36, 1e-6);
    EXPECT_NEAR(tri[4].second, tri[6].second, 1e-6);
    EXPECT_GT(tri[4].second, tri[3].second);
    const auto figures = run(eZtYdcmOutAll, eZtYdcmTriangular);
    EXPECT_NEAR(figures.rdydcmdata(0).pjcb(), 10.05, 1e-9);

    const auto flat = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(flat.size(), 11);
    EXPECT_NEAR(flat[0].second, kFloat / 11, 1e-6);
    EXPECT_NEAR(flat[5].second, kFloat / 11, 1e-6);

    // An average off centre moves the peak: 10.02 from the average field.
    m_list.DataClear();
    DQDUnionReader skewed = bar(20200102000000, 10.00, 10.10, 10.10, kFloat);
    skewed.setValue(eFieldAverage, 10.02);
    m_list.append(skewed);
    const auto left = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(left.size(), 11);
    EXPECT_GT(left[2].second, left[1].second);
    EXPECT_GT(left[2].second, left[3].second);
    EXPECT_GT(left[0].second, left[10].second);

    // All traded at the high: the peak sits on the top row.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.10, 10.10, kFloat, kFloat * 10.10));
    const auto top = rowsOf(run(eZtYdcmOutAll, eZtYdcmTriangular).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_EQ(top.size(), 11);
    EXPECT_GT(top[10].second, top[9].second);
}

TEST_F(DataServiceChips, KeyAndCountPickTheBarsEvaluated)
{
    m_list.append(bar(20200102000000, 10.00, 10.09, 10.05, kFloat));
    m_list.append(emptySlot());
    m_list.append(bar(20200103000000, 10.50, 10.59, 10.55, 0));  // no trade: skipped
    m_list.append(bar(20200106000000, 11.00, 11.09, 11.05, kFloat / 2));
    m_list.append(bar(20200107000000, 12.00, 12.09, 12.05, kFloat / 2));

    const auto at = run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20200106000000);
    ASSERT_EQ(at.rdydcmdata_size(), 1);
    EXPECT_EQ(at.rdydcmdata(0).date(), 20200106000000);
    EXPECT_EQ(rowsOf(at.rdydcmdata(0).rdydcmsjfb(0)).size(), 20);
    // A key between bars evaluates the bar before it.
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20200105000000).rdydcmdata(0).date(),
              20200102000000);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 20191231000000).rdydcmdata_size(), 0);

    const auto three = run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 10);
    ASSERT_EQ(three.rdydcmdata_size(), 3);  // only three bars traded
    EXPECT_EQ(three.rdydcmdata(0).date(), 20200102000000);
    EXPECT_EQ(three.rdydcmdata(2).date(), 20200107000000);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, -4).rdydcmdata_size(), 1);

    // Periods count traded bars: the layer of 2 holds the last two.
    const auto layered = run(eZtYdcmOutYounger, eZtYdcmUniform, {2});
    EXPECT_NEAR(layered.rdydcmdata(0).rdydcmsjfb(1).share(), 0.75, 1e-12);
    // The plain output ignores the periods.
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {2}).rdydcmdata(0).rdydcmsjfb_size(), 1);
}

TEST_F(DataServiceChips, GridCoarsensForWideRangesAndBadInputGivesNothing)
{
    m_list.append(bar(20200102000000, 10.00, 20.00, 15.00, kFloat / 2));
    m_list.append(bar(20200103000000, 90.00, 100.00, 95.00, kFloat / 2));
    const auto rows = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    ASSERT_GT(rows.size(), 1);
    // 10 … 100 at 0.01 would need 9001 rows: the step becomes 0.02.
    EXPECT_NEAR(rows[1].first - rows[0].first, 0.02, 1e-9);
    EXPECT_EQ(rows.size(), 501 + 501);

    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, 0.0).rdydcmdata_size(), 0);
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1, std::nan("")).rdydcmdata_size(), 0);
    // A corrupt price neither widens the grid nor lays chips.
    m_list.append(bar(20200106000000, 10.00, 1e12, 15.00, kFloat / 2));
    const auto still = rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0));
    EXPECT_EQ(still.size(), rows.size());
    // Chips decayed below a billionth of the float are no longer a row:
    // 0.05^7 of the first bar's chips is left after seven turnovers of 95 %.
    m_list.DataClear();
    m_list.append(bar(20200102000000, 10.00, 10.00, 10.00, kFloat));
    for (int d = 3; d < 10; ++d)
        m_list.append(bar(20200100000000 + d * 1000000LL, 20.00, 20.00, 20.00, 0.95 * kFloat));
    EXPECT_EQ(rowsOf(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata(0).rdydcmsjfb(0)).size(), 1);

    // Requests are bounded: 300 bars and a count of 1000 give 250 answers.
    m_list.DataClear();
    QDate day(2020, 1, 1);
    for (int i = 0; i < 300; ++i, day = day.addDays(1))
        m_list.append(bar(qint64(day.toString("yyyyMMdd").toLongLong()) * 1000000, 10.0, 10.2,
                          10.1, kFloat / 10));
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform, {}, 0, 1000).rdydcmdata_size(), 250);
    QVector<int> manyPeriods;
    for (int p = 1; p <= 40; ++p)
        manyPeriods.append(p);
    EXPECT_EQ(run(eZtYdcmOutYounger, eZtYdcmUniform, manyPeriods).rdydcmdata(0).rdydcmsjfb_size(),
              1 + 16);

    m_list.DataClear();
    EXPECT_EQ(run(eZtYdcmOutAll, eZtYdcmUniform).rdydcmdata_size(), 0);
    m_list.append(emptySlot());
    m_list.append(bar(20200102000000, -1, 0, 0, 100));
    EXPECT_EQ(run(eZtYdcmOutYounger, eZtYdcmTriangular, {5}).rdydcmdata_size(), 0);
}

TEST_F(DataServiceChips, WithoutFloatSharesTurnoverIsMeasuredAgainstMeanVolume)
{
    m_reader = readerOf("not registered");
    m_list.append(bar(20200102000000, 10.00, 10.00, 10.00, 1000));
    m_list.append(bar(20200103000000, 11.00, 11.00, 11.00, 3000));
    // Float = 100 × mean volume = 200000: turnovers 0.5 % and 1.5 %.
    const auto msg = run(eZtYdcmOutYounger, eZtYdcmUniform, {1});
    ASSERT_EQ(msg.rdydcmdata_size(), 1);
    const auto& d = msg.rdydcmdata(0);
    const double older = 0.005 * (1 - 0.015);
    const double total = older + 0.015;
    EXPECT_NEAR(d.rdydcmsjfb(1).share(), 0.015 / total, 1e-12);
    const auto rows = rowsOf(d.rdydcmsjfb(0));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_NEAR(rows[0].second, older * 200000, 1e-6);
    EXPECT_NEAR(d.hlbl(), 1.0, 1e-12);
}
