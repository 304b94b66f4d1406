#include "TestKit.h"

#include <gtest/gtest.h>

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;

namespace {

class DataServiceSample : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        DQDDataList minutes;
        QMap<qint64, double> floats;
        QString error;
        ASSERT_TRUE(QuoteLoader::loadBars(samplePath("sh600000_day.csv"), &m_daily, &error))
            << qPrintable(error);
        ASSERT_TRUE(QuoteLoader::loadMinutes(samplePath("sh600000_m1.csv"), &minutes, {}, &error))
            << qPrintable(error);
        ASSERT_TRUE(QuoteLoader::loadFloatShares(samplePath("sh600000_capital.csv"), &floats,
                                                 &error))
            << qPrintable(error);
        PBDataChange::registerInstrument("600000", "Sample", m_daily, minutes, floats);
        m_reader = readerOf("600000");
    }
    void TearDown() override { PBDataChange::clearInstruments(); }

    DQDDataList m_daily;
    DQDUnionReader m_reader;
};

} // namespace

TEST_F(DataServiceSample, ShippedFeedsLoadAndEndWithTheLastBar)
{
    ASSERT_EQ(m_daily.count(), 1000);
    QString error;
    ASSERT_TRUE(
        PBDataChange::attachMarginFeed("600000", samplePath("sh600000_margin.csv"), &error))
        << qPrintable(error);
    ASSERT_TRUE(
        PBDataChange::attachChipLockFeed("600000", samplePath("sh600000_chiplock.csv"), &error))
        << qPrintable(error);
    const auto margin = ZtZB_Rzrq::getKlineRZRQ(m_reader, 0).repdataf10dstxrzrqoutput(0);
    ASSERT_EQ(margin.data_size(), 250);
    EXPECT_EQ(margin.data(249).date(), m_daily.at(999)->uniqueKey());
    DQDDataList days = PBDataChange::LBGD_Kline(m_reader, eZtPeriodDay, eZtDividForward, false, 0);
    const auto lock = ZtZB_Cmsdl::getKlineCMSDL(days, m_reader, 0);
    ASSERT_EQ(lock.rdcmsdl_size(), 250);
    EXPECT_DOUBLE_EQ(lock.rdcmsdl(249).spj(), m_daily.at(999)->getValue(eFieldClose).toDouble());

    // Minutes cover 2024-09-10 … 09-18; the daily bars go on to 09-19.
    const auto flow = ZtZB_Cmsdl::getKlineCJMX_FD(m_reader, 0);
    const auto& recs = flow.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang();
    ASSERT_EQ(recs.size(), 6);
    EXPECT_EQ(recs.Get(0).date(), 20240910000000);
    EXPECT_GE(recs.Get(0).bigbuy() + recs.Get(0).bigsell(), 0.0);
    EXPECT_DOUBLE_EQ(recs.Get(5).bigbuy(), kNoValue);
}

TEST_F(DataServiceSample, ChipFiguresOfRealBarsAreConsistent)
{
    const auto msg = ZtZB_Ydcmjs::Ydcmjs(m_daily, m_reader, 0, eZtYdcmOutYounger, 10,
                                         eZtYdcmTriangular, 1.0, {5, 20, 60});
    ASSERT_EQ(msg.rdydcmdata_size(), 10);
    const auto& d = msg.rdydcmdata(9);
    EXPECT_EQ(d.date(), m_daily.at(999)->uniqueKey());
    EXPECT_GE(d.hlbl(), 0.0);
    EXPECT_LE(d.hlbl(), 1.0);
    EXPECT_LE(d.p90min(), d.p70min());
    EXPECT_LE(d.p70min(), d.pjcb());
    EXPECT_LE(d.pjcb(), d.p70max());
    EXPECT_LE(d.p70max(), d.p90max());
    EXPECT_LT(d.p70jzd(), d.p90jzd());
    ASSERT_EQ(d.rdydcmsjfb_size(), 4);
    double held = 0, previousShare = 0;
    for (const auto& row : d.rdydcmsjfb(0).rdydcmjgfb())
        held += row.volume();
    // Each bar keeps 1 − t of the chips and adds t, so the part of the float
    // not yet covered by chips shrinks by the factor 1 − t per bar.
    double uncovered = 1.0;
    for (int i = 0; i < m_daily.count(); ++i) {
        const DQDUnionReader* r = m_daily.at(i);
        const double shares = PBDataChange::floatSharesAt("600000", r->uniqueKey());
        uncovered *= 1.0 - r->getValue(eFieldVolume).toDouble() / shares;
    }
    const double shares = PBDataChange::floatSharesAt("600000", d.date());
    EXPECT_NEAR(held / shares, 1.0 - uncovered, 1e-6);
    for (int i = 1; i < 4; ++i) {
        EXPECT_GT(d.rdydcmsjfb(i).share(), previousShare);  // longer periods hold more
        previousShare = d.rdydcmsjfb(i).share();
    }
}
