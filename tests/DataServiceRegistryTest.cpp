// The data service's registry of instruments and feeds, and its fund-flow
// and power estimates from minutes.

#include "TestKit.h"

using namespace DataServiceFixtures;
using namespace ZtUIDataStruct;

namespace {

class DataServiceRegistry : public ::testing::Test
{
protected:
    void SetUp() override { PBDataChange::clearInstruments(); }
    void TearDown() override { PBDataChange::clearInstruments(); }

    // Three daily bars and two minutes of the third day.
    static void registerSample(const QMap<qint64, double>& floats = {})
    {
        DQDDataList daily;
        daily.append(bar(20200102000000, 9.9, 10.1, 10.0, 1000));
        daily.append(bar(20200103000000, 10.0, 10.4, 10.3, 2000));
        daily.append(bar(20200106000000, 10.2, 10.5, 10.4, 3000));
        DQDDataList minutes;
        minutes.append(minute(20200106093100, 10.3, 10.35, 500));
        minutes.append(minute(20200106093200, 10.35, 10.4, 500));
        PBDataChange::registerInstrument("600000", "Sample", daily, minutes, floats);
    }
};

// Two days of minutes for the fund-flow and power estimates.
class DataServiceFlow : public DataServiceRegistry
{
protected:
    void SetUp() override
    {
        DataServiceRegistry::SetUp();
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
        for (int i = 6; i <= 10; ++i) // small, up and down
            m.append(minute(20240910093000 + 100 * i, i % 2 ? 10.01 : 10.00, i % 2 ? 10.00 : 10.01, 100));
        // Day 2 has a threshold of its own (2650 yuan). Its first minute
        // rose against its own open though it fell against yesterday.
        m.append(minute(20240911093100, 9.80, 9.90, 5000));
        m.append(minute(20240911093200, 9.90, 9.91, 100));
        m.append(minute(20240911093300, 9.91, 9.90, 100));
        m.append(minute(20240911093400, 9.90, 9.90, 100));
        m.append(emptySlot());
        PBDataChange::registerInstrument("T", "Test", daily, m, {});
    }
};

} // namespace

TEST_F(DataServiceRegistry, SnapshotListsAndFloatSharesComeFromTheRegisteredInstrument)
{
    // The negative float entry of 2020-01-04 is dropped, not taken.
    registerSample({{20200103, 2e6}, {20200101, 1e6}, {20200104000000, -5}, {20200106, 3e6}});
    const Q_DD_Now now = PBDataChange::LBDG_QNowSingle("600000", false);
    EXPECT_EQ(QStringList({now.code, now.name}), QStringList({"600000", "Sample"}));
    EXPECT_EQ(now.getUniqueValue(0), QString("20200106000000"));
    EXPECT_DOUBLE_EQ(now.getValue(eFieldClose).toDouble(), 10.4);

    // The reader part alone is enough to name the instrument.
    const DQDUnionReader reader(now);
    DQDDataList days = PBDataChange::LBGD_Kline(reader, eZtPeriodDay, eZtDividForward, false, 0);
    ASSERT_EQ(days.count(), 3);
    EXPECT_EQ(days.at(1)->uniqueKey(), 20200103000000);
    // Up to a time: the bars on or before it, the last one included.
    for (auto [end, count] : {std::pair{20200105000000LL, 2}, {20200106000000LL, 3}})
        EXPECT_EQ(PBDataChange::LBGD_Kline(reader, eZtPeriodDay, eZtDividForward, false, end).count(), count) << end;
    EXPECT_EQ(PBDataChange::LBGD_Kline(reader, eZtPeriodWeek, eZtDividForward, false, 0).count(), 0);
    EXPECT_EQ(PBDataChange::LBGD_Dline(reader, false, false, 0).count(), 2);
    EXPECT_EQ(PBDataChange::LBGD_Dline(reader, false, false, 20200106093100).count(), 1);

    // The float in force at a time is the last entry on or before it; bars
    // handed out carry it, and so do the engine's bars.
    for (auto [key, shares] : {std::pair{20191231000000LL, 0.0}, {20200101LL, 1e6}, {20200102150000LL, 1e6},
                               {20200103000000LL, 2e6}, {20200105LL, 2e6}, {20200106093100LL, 3e6}})
        EXPECT_DOUBLE_EQ(PBDataChange::floatSharesAt("600000", key), shares) << key;
    EXPECT_DOUBLE_EQ(PBDataChange::floatSharesAt("unknown", 20200106), 0.0);
    const std::vector<TagDay> tag = PBDataChange::LBDG_TagDayVector(&days, 0, days.count());
    ASSERT_EQ(tag.size(), 3u);
    EXPECT_EQ(tag.front().m_floatShares, std::vector<float>({1e6f, 2e6f, 3e6f}));
    DQDDataList hostList;
    hostList.append(bar(20200102000000, 1, 2, 1.5, 10));
    EXPECT_FLOAT_EQ(PBDataChange::LBDG_TagDayVector(&hostList, 0, 1).front().m_floatShares.at(0), 0.0f);

    // An unknown code keeps its code and gets empty answers everywhere.
    const Q_DD_Now unknown = PBDataChange::LBDG_QNowSingle("999999", false);
    EXPECT_EQ(QStringList({unknown.code, unknown.name}), QStringList({"999999", ""}));
    EXPECT_LE(unknown.getUniqueValue(0).toLongLong(), 0);
    const DQDUnionReader none(unknown);
    EXPECT_EQ(QList<int>({PBDataChange::LBGD_Kline(none, eZtPeriodDay, eZtDividForward, false, 0).count(),
                          PBDataChange::LBGD_Dline(none, false, false, 0).count(),
                          ZtZB_Cmsdl::getKlineCJMX_FD(none, 0).repdatazhibiaofuwuoutput_size(),
                          ZtZB_Cmsdl::getDlineMMLD_FD(none, 0).repdatazhibiaofuwuoutput_size(),
                          ZtZB_Rzrq::getKlineRZRQ(none, 0).repdataf10dstxrzrqoutput_size(),
                          ZtZB_Cmsdl::getKlineCMSDL(DQDDataList(), none, 0).rdcmsdl_size(),
                          // a reader that names no instrument at all
                          PBDataChange::LBGD_Kline(DQDUnionReader(), eZtPeriodDay, eZtDividNone, false, 0).count()}),
              QList<int>({0, 0, 0, 0, 0, 0, 0}));

    // Registering again replaces the bars; clearing forgets everything.
    PBDataChange::registerInstrument("600000", "Renamed", DQDDataList(), DQDDataList(), {});
    EXPECT_EQ(PBDataChange::LBDG_QNowSingle("600000", false).name, QString("Renamed"));
    EXPECT_EQ(PBDataChange::LBGD_Kline(reader, eZtPeriodDay, eZtDividForward, false, 0).count(), 0);
    PBDataChange::clearInstruments();
    EXPECT_FALSE(PBDataChange::hasInstrument("600000"));
}

TEST_F(DataServiceRegistry, MalformedFeedsAreRejectedWithTheirPlace)
{
    registerSample();
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.csv",
                                   "date,bigbuy,bigsell\r\n20200103,10,4\r\n20200106,7,9\r\n\r\n");
    QString error;
    ASSERT_TRUE(PBDataChange::attachFundFlowFeed("600000", good, &error)) << qPrintable(error);
    ASSERT_TRUE(PBDataChange::attachChipLockFeed("600000", samplePath("sh600000_chiplock.csv"), &error))
        << qPrintable(error); // the sample feed as it is shipped

    // Each text and the place (line, field) of its first fault.
    const std::pair<const char*, const char*> cases[] = {
        {"date,bigbuy,bigsell\n20200103,10,4\n20200106,7,x9\n", ":3:3: "},
        {"date,bigbuy,bigsell\n20200103,10\n", ":2:3: "},
        {"date,bigbuy,bigsell\n20200103,10,4,5\n", ":2:4: "},
        {"date,bigbuy,bigsell\n20201303,10,4\n", ":2:1: "},
        {"date,bigbuy,bigsell\n2020013,10,4\n", ":2:1: "},
        {"date,bigbuy,bigsell\n202001061261,10,4\n", ":2:1: "},
        {"date,bigbuy,bigsell\n20200103,1,2\n20200103,3,4\n", ":3:1: "},
        {"date,bigbuy,sell\n20200103,1,2\n", ":1:3: "},
        {"date,bigbuy,bigsell\n20200103,inf,2\n", ":2:2: "},
        {"", ":1:1: "},
    };
    for (const auto& [text, place] : cases) {
        const QString path = writeFile(dir, "bad.csv", text);
        error.clear();
        EXPECT_FALSE(PBDataChange::attachFundFlowFeed("600000", path, &error)) << text;
        EXPECT_TRUE(error.startsWith(path + place)) << qPrintable(error);
    }
    EXPECT_FALSE(PBDataChange::attachMarginFeed("600000", dir.filePath("missing.csv"), &error));
    EXPECT_TRUE(error.contains("missing.csv")) << qPrintable(error);
    EXPECT_FALSE(PBDataChange::attachMarginFeed("nobody", good, &error));

    // The rejected files changed nothing: the good feed is still served.
    const auto msg = ZtZB_Cmsdl::getKlineCJMX_FD(readerOf("600000"), 0);
    ASSERT_EQ(msg.repdatazhibiaofuwuoutput_size(), 1);
    const auto& recs = msg.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang();
    ASSERT_EQ(recs.size(), 2);  // from the first bar the feed covers
    EXPECT_DOUBLE_EQ(recs.Get(0).bigbuy(), 10.0);
}

TEST_F(DataServiceRegistry, FeedsLineUpWithTheBarsAndMarkGaps)
{
    registerSample();
    QTemporaryDir dir;
    const QString margin = writeFile(dir, "margin.csv",
                                     "date,rzye,rqye,rzrqye\n20200102,100,5,105\n20200106,120,6,126\n");
    const QString lock = writeFile(dir, "lock.csv",
                                   "date,5dpjl,sdlCJ,sdlWT,spj,sdl,d5lb\n"
                                   "20200103,1,2,3,10.3,5,0.8\n"
                                   "202001060932,7,8,9,10.4,11,1.2\n");
    QString error;
    ASSERT_TRUE(PBDataChange::attachMarginFeed("600000", margin, &error)) << qPrintable(error);
    ASSERT_TRUE(PBDataChange::attachChipLockFeed("600000", lock, &error)) << qPrintable(error);
    const DQDUnionReader reader = readerOf("600000");

    const auto rz = ZtZB_Rzrq::getKlineRZRQ(reader, 0);
    ASSERT_EQ(rz.repdataf10dstxrzrqoutput_size(), 1);
    const auto& m = rz.repdataf10dstxrzrqoutput(0);
    // Columns and gap marks as the panes show them are pinned by the pane
    // tests; here: a bar without a row still has its record.
    ASSERT_EQ(m.data_size(), 3);
    EXPECT_EQ(m.data(1).date(), 20200103000000);
    EXPECT_EQ(ZtZB_Rzrq::getKlineRZRQ(reader, 20200103000000).repdataf10dstxrzrqoutput(0).data_size(), 2);

    DQDDataList days = PBDataChange::LBGD_Kline(reader, eZtPeriodDay, eZtDividForward, false, 0);
    const auto k = ZtZB_Cmsdl::getKlineCMSDL(days, reader, 0);
    ASSERT_EQ(k.rdcmsdl_size(), 2);  // 01-03 and 01-06, whose row is a minute's
    EXPECT_DOUBLE_EQ(k.rdcmsdl(1).d5pjl(), kZtNoValue);
    DQDDataList mins = PBDataChange::LBGD_Dline(reader, false, false, 0);
    mins.append(emptySlot());
    const auto d = ZtZB_Cmsdl::getDlineCMSDL(mins, reader, 0);
    // The feed's minute row starts at 09:32: that minute and the empty slot.
    ASSERT_EQ(d.rdcmsdl_size(), 2);
    EXPECT_DOUBLE_EQ(d.rdcmsdl(0).d5lb(), 1.2);
    EXPECT_EQ(d.rdcmsdl(1).date(), 0);
    EXPECT_DOUBLE_EQ(d.rdcmsdl(1).sdl(), kZtNoValue);

    // New bars keep the feeds.
    registerSample();
    EXPECT_EQ(ZtZB_Rzrq::getKlineRZRQ(reader, 0).repdataf10dstxrzrqoutput(0).data_size(), 3);
}

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
    EXPECT_DOUBLE_EQ(days.Get(2).bigbuy(), kZtNoValue);

    const auto d = ZtZB_Cmsdl::getDlineCJMX_FD(reader, 0);
    const auto& mins = d.repdatazhibiaofuwuoutput(0).data(0).zijinliuxiangfendang();
    ASSERT_EQ(mins.size(), 15);  // every minute, the empty slot included
    EXPECT_DOUBLE_EQ(mins.Get(14).bigbuy(), kZtNoValue);
    EXPECT_EQ(mins.Get(14).date(), 0);
    // Only the two big minutes of day 1 count, and they make up its record:
    // (buy, sell) per minute.
    QList<double> flows;
    for (int i = 0; i < 10; ++i)
        flows << mins.Get(i).bigbuy() << mins.Get(i).bigsell();
    EXPECT_EQ(flows, QList<double>({0, 0, 1000, 0, 0, 0, 0, 0, 0, 1200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Up to a time: the answer ends with that bar.
    const auto upTo = ZtZB_Cmsdl::getKlineCJMX_FD(reader, 20240910000000).repdatazhibiaofuwuoutput(0);
    EXPECT_EQ(upTo.data(0).zijinliuxiangfendang_size(), 1);
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
    const auto fed = ZtZB_Cmsdl::getKlineMMLD_FD(reader, 0).repdatazhibiaofuwuoutput(0).data(0);
    EXPECT_DOUBLE_EQ(fed.maimailidaofendang(0).seller(), 2.0);
    const auto estimated = ZtZB_Cmsdl::getDlineMMLD_FD(reader, 0).repdatazhibiaofuwuoutput(0).data(0);
    EXPECT_NEAR(estimated.maimailidaofendang(0).buyer(), 750.0, 1e-9);

    // No minutes: no estimate.
    PBDataChange::registerInstrument("N", "No minutes", daily, DQDDataList(), {});
    EXPECT_EQ(ZtZB_Cmsdl::getKlineCJMX_FD(readerOf("N"), 0).repdatazhibiaofuwuoutput_size(), 0);
    EXPECT_EQ(ZtZB_Cmsdl::getDlineMMLD_FD(readerOf("N"), 0).repdatazhibiaofuwuoutput_size(), 0);
}
