#include "TestKit.h"

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;

namespace {

class DataServiceFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PBDataChange::clearInstruments();
        DQDDataList daily;
        daily.append(bar(20240909000000, 9.9, 10.1, 10.0, 1000));  // no minutes registered
        daily.append(bar(20240910000000, 9.9, 10.1, 10.01, 1000));
        daily.append(bar(20240911000000, 9.8, 10.0, 9.9, 1000));
        daily.append(bar(20240912000000, 9.8, 10.0, 9.9, 1000));  // minutes not yet there
        DQDDataList m;
        // Day 1: ten minutes, 3902 yuan, so big means at least 780.4 yuan.
        m.append(minute(20240910093100, 10.00, 10.01, 100));
        m.append(minute(20240910093200, 10.01, 10.03, 1000));   // big, rose: buying
        m.append(minute(20240910093300, 10.03, 10.02, 100));
        m.append(minute(20240910093400, 10.02, 10.02, 0, 100));  // 1002 from volume, unchanged
        m.append(minute(20240910093500, 10.02, 10.00, 1200));   // big, fell: selling
        m.append(minute(20240910093600, 10.00, 10.01, 100));
        m.append(minute(20240910093700, 10.01, 10.00, 100));
        m.append(minute(20240910093800, 10.00, 10.01, 100));
        m.append(minute(20240910093900, 10.01, 10.00, 100));
        m.append(minute(20240910094000, 10.00, 10.01, 100));
        // Day 2 has a threshold of its own (2650 yuan). Its first minute
        // rose against its own open though it fell against yesterday.
        m.append(minute(20240911093100, 9.80, 9.90, 5000));
        m.append(minute(20240911093200, 9.90, 9.91, 100));
        m.append(minute(20240911093300, 9.91, 9.90, 100));
        m.append(minute(20240911093400, 9.90, 9.90, 100));
        m.append(emptySlot());
        PBDataChange::registerInstrument("T", "Test", daily, m, {});
    }
    void TearDown() override { PBDataChange::clearInstruments(); }
};

} // namespace

TEST_F(DataServiceFlow, BigOrdersAreEstimatedFromMinutesPerDayAndPerMinute)
{
    const DQDUnionReader reader = readerOf("T");
    const auto k = ZtZB_Cmsdl::getKlineCJMX_FD(reader, 0);
    ASSERT_EQ(k.repdatazhibiaofuwuoutput_size(), 1);
    const auto& days = k.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang();
    // From the first day with minutes to the last bar, which has none.
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days.Get(0).date(), 20240910000000);
    EXPECT_EQ(QList<double>({days.Get(0).bigbuy(), days.Get(0).bigsell(), days.Get(1).bigbuy(), days.Get(1).bigsell()}),
              QList<double>({1000, 1200, 5000, 0}));
    EXPECT_DOUBLE_EQ(days.Get(2).bigbuy(), kNoValue);
    EXPECT_EQ(k.repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang_size(), 0);

    const auto d = ZtZB_Cmsdl::getDlineCJMX_FD(reader, 0);
    const auto& mins = d.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang();
    ASSERT_EQ(mins.size(), 15);  // every minute, the empty slot included
    EXPECT_DOUBLE_EQ(mins.Get(14).bigbuy(), kNoValue);
    EXPECT_EQ(mins.Get(14).date(), 0);
    // Only the two big minutes of day 1 count, and they make up its record.
    QList<double> buys, sells;
    for (int i = 0; i < 10; ++i) {
        buys << mins.Get(i).bigbuy();
        sells << mins.Get(i).bigsell();
    }
    EXPECT_EQ(buys, QList<double>({0, 1000, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(sells, QList<double>({0, 0, 0, 0, 1200, 0, 0, 0, 0, 0}));
    // Up to a time: the answer ends with that bar.
    EXPECT_EQ(ZtZB_Cmsdl::getKlineCJMX_FD(reader, 20240910000000)
                  .repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang_size(),
              1);
}

TEST_F(DataServiceFlow, PowerSplitsEveryMinuteByItsClose)
{
    DQDDataList m;
    DQDUnionReader ranged = minute(20240912093100, 10.00, 10.03, 1000);
    ranged.setValue(eFieldHigh, 10.04);  // close at 3/4 of the range
    m.append(ranged);
    m.append(minute(20240912093200, 10.03, 10.03, 400));  // no range, unchanged: halves
    m.append(minute(20240912093300, 10.03, 10.05, 200));  // no room above: all buying
    DQDDataList daily;
    daily.append(bar(20240912000000, 10.0, 10.05, 10.05, 100));
    PBDataChange::registerInstrument("P", "Power", daily, m, {});
    const DQDUnionReader reader = readerOf("P");

    const auto d = ZtZB_Cmsdl::getDlineMMLD_FD(reader, 0);
    const auto& recs = d.repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang();
    ASSERT_EQ(recs.size(), 3);
    const double split[] = {recs.Get(0).buyer(), recs.Get(0).seller(), recs.Get(1).buyer(), recs.Get(1).seller(),
                            recs.Get(2).buyer()};
    const double expected[] = {750, 250, 200, 200, 200};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(split[i], expected[i], 1e-9) << i;
    const auto k = ZtZB_Cmsdl::getKlineMMLD_FD(reader, 0);
    ASSERT_EQ(k.repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang_size(), 1);
    EXPECT_NEAR(k.repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang(0).buyer(), 1150.0, 1e-9);

    // A feed wins over the estimate for the form it covers.
    QTemporaryDir dir;
    const QString feed = writeFile(dir, "power.csv", "date,buyer,seller\n20240912,1,2\n");
    QString error;
    ASSERT_TRUE(PBDataChange::attachPowerFeed("P", feed, &error)) << qPrintable(error);
    EXPECT_DOUBLE_EQ(ZtZB_Cmsdl::getKlineMMLD_FD(reader, 0)
                         .repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang(0).seller(),
                     2.0);
    EXPECT_NEAR(ZtZB_Cmsdl::getDlineMMLD_FD(reader, 0)
                    .repdatazhibiaofuwuoutput(0).data(0).maimailidaofendang(0).buyer(),
                750.0, 1e-9);

    // No minutes: no estimate.
    PBDataChange::registerInstrument("N", "No minutes", daily, DQDDataList(), {});
    EXPECT_EQ(ZtZB_Cmsdl::getKlineCJMX_FD(readerOf("N"), 0).repdatazhibiaofuwuoutput_size(), 0);
    EXPECT_EQ(ZtZB_Cmsdl::getDlineMMLD_FD(readerOf("N"), 0).repdatazhibiaofuwuoutput_size(), 0);
}
